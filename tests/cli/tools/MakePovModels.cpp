// make-pov-models KIND OUT.vrl: small models for the rendering checks.
//   sky-ground: a plain blue sky, a flat green ground and one red box at the origin.
//   bad-texture: the same with a layer texture POV-Ray cannot parse.
//   empty, hidden: the same sky and ground without faces, or with the box's layer hidden.
//   sun-study: the red box on a plain white ground that shows its shadow.
#include "model/Document.h"
#include "model/FileAccess.h"
#include "model/Globals.h"
#include "model/LayerTable.h"
#include "model/ModelFile.h"
#include "model/SceneSettings.h"

#include <cstdio>
#include <string>

namespace {

void AddQuad(CMyvorla_ltDoc& doc, const float (&c)[4][3])
{
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) doc.m_curShape.m_vertex[k][a] = c[k][a];
    doc.AddShape();
}

// The four sides and the top of a box standing on the ground, in the display frame (Y up).
void AddBox(CMyvorla_ltDoc& doc, float half, float height)
{
    const float h = half, y = height;
    AddQuad(doc, {{-h, y, -h}, {-h, y, h}, {h, y, h}, {h, y, -h}});
    AddQuad(doc, {{-h, 0, h}, {h, 0, h}, {h, y, h}, {-h, y, h}});
    AddQuad(doc, {{h, 0, -h}, {-h, 0, -h}, {-h, y, -h}, {h, y, -h}});
    AddQuad(doc, {{h, 0, h}, {h, 0, -h}, {h, y, -h}, {h, y, h}});
    AddQuad(doc, {{-h, 0, -h}, {-h, 0, h}, {-h, y, h}, {-h, y, -h}});
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind != "sky-ground" && kind != "bad-texture" && kind != "empty" && kind != "hidden" && kind != "sun-study") {
        std::fprintf(stderr, "usage: make-pov-models sky-ground|bad-texture|empty|hidden|sun-study OUT.vrl\n");
        return 2;
    }
    ResetGlobals();
    InitViewDefaults();
    g_sky = "pigment { color rgb <0, 0, 1> }";
    g_ground = "pigment { color rgb <0, 1, 0> } finish { ambient 1 diffuse 0 }";
    AddLayer("Box");
    g_layerAttr[0][kGreen] = g_layerAttr[0][kBlue] = 0.0;
    if (kind == "bad-texture") g_layerTexture[0] = "pigment { colr Red }";
    if (kind == "hidden") g_layerAttr[0][kVisible] = 0.0;
    if (kind == "sun-study") g_ground = "pigment { color White }";
    CMyvorla_ltDoc doc;
    doc.m_curShape.m_kind = CShape::kFace;
    doc.SetCurLayer("Box");
    if (kind != "empty") AddBox(doc, 10000, 10000);
    std::string error;
    if (!WriteFileAtomically(argv[2], [&](CByteSink& sink) { return WriteModelFile(sink, doc.m_shapeList); },
                             error)) {
        std::fprintf(stderr, "make-pov-models: %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    return 0;
}
