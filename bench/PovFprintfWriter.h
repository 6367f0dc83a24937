// The baseline POV-Ray writer of the benchmarks: the Export scene text of the shipped writer,
// written with fprintf("%f") in the C locale the way a straightforward stdio writer would.
#pragma once

#include "export/PovWriter.h"
#include "model/LayerTable.h"
#include "view/CameraState.h"

#include <cstdio>
#include <string>

inline void WritePovSceneWithFprintf(std::FILE* f, const CShapeList& shapes)
{
    const CPovCamera c = ComputePovCamera();
    std::fputs("//Created by Vorla_DORAZ\n#include \"colors.inc\"\n#include \"textures.inc\"\n"
               "#include \"shapes.inc\"\n#include \"skies.inc\"\n#include \"glass.inc\"\n"
               "#include \"stones.inc\"\n#include \"metals.inc\"\n\nsky_sphere{ S_Cloud1 }\n\n",
               f);
    std::fprintf(f, "camera {\n");
    std::fprintf(f, "  location <%f, %f, %f>\n", c.eye[0], c.eye[1], c.eye[2]);
    std::fprintf(f, "  right <%f, %f, %f>\n", g_aspect, 0.0, 0.0);
    std::fprintf(f, "  up <%f, %f, %f>\n", 0.0, 1.0, 0.0);
    std::fprintf(f, "  look_at <%f, %f, %f>\n", c.lookAt[0], c.lookAt[1], c.lookAt[2]);
    std::fprintf(f, "  angle %f\n", c.angle);
    std::fprintf(f, "}\n\n");
    std::fprintf(f, "light_source { <%f, %f, %f> color rgb 1 }\n\n", c.eye[0], c.eye[1], c.eye[2]);
    std::fputs("#declare mat00 = texture {\n  pigment { color rgbf<0.149, 1.000, 0.118, 0.500> }\n}\n"
               "#declare mat99999 = texture {\n  pigment { color rgb<1.0, 1.0, 1.0> }\n"
               "  finish { reflection 0.3 }\n}\n",
               f);
    for (int i = 0; i < g_layerCount; ++i) {
        const double* a = g_layerAttr[i];
        std::fprintf(f, "#declare mat%d = texture {//%s\n", i, g_layerName[i].c_str());
        std::fprintf(f, "  pigment { color rgbf<%f, %f, %f, %f> }\n", a[0], a[1], a[2], a[3]);
        std::fprintf(f, "  finish { reflection %f }\n}\n", a[4]);
    }
    std::fputs("\nobject{\n  Plane_XZ\n  texture{ mat99999 }\n}\n\nmesh {\n", f);
    std::string lastName;
    int layer = -1;
    for (const CShape& s : shapes) {
        if (layer < 0 || s.m_layer != lastName) {
            layer = FindLayer(s.m_layer);
            lastName = s.m_layer;
        }
        if (!IsLayerIndexVisible(layer)) continue;
        const int t = layer == g_layerCount ? 99999 : layer;
        const auto& v = s.m_vertex;
        const int order[2][3] = {{0, 1, 2}, {2, 3, 0}};
        const bool quad = v[3][0] != v[2][0] || v[3][1] != v[2][1] || v[3][2] != v[2][2];
        for (int k = 0; k < (quad ? 2 : 1); ++k) {
            const int* o = order[k];
            std::fprintf(f, "   triangle {\n");
            std::fprintf(f, "      <%f,%f,%f>, ", double(v[o[0]][0]), double(v[o[0]][1]), -double(v[o[0]][2]));
            std::fprintf(f, "<%f,%f,%f>, ", double(v[o[1]][0]), double(v[o[1]][1]), -double(v[o[1]][2]));
            std::fprintf(f, "<%f,%f,%f>\n", double(v[o[2]][0]), double(v[o[2]][1]), -double(v[o[2]][2]));
            std::fprintf(f, "      texture { mat%d }\n   }\n", t);
        }
    }
    std::fputs("}\n", f);
}
