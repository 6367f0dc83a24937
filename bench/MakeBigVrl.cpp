// Writes a large model for the benchmarks: N quads (default 1,000,000) on 20 layers, spread
// over a 2 km square, with per-face corners and normals as a CAD export would have them.
#include "model/Document.h"
#include "model/FileAccess.h"
#include "model/Globals.h"
#include "model/LayerTable.h"
#include "model/ModelFile.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-big-vrl OUT.vrl [FACES]\n");
        return 2;
    }
    const long faces = argc > 2 ? std::atol(argv[2]) : 1000000;
    ResetGlobals();
    InitViewDefaults();
    for (int i = 0; i < 20; ++i) {
        AddLayer("Layer-" + std::to_string(i));
        g_layerAttr[i][kRed] = (i % 5) / 4.0;
        g_layerAttr[i][kGreen] = (i % 4) / 3.0;
        g_layerAttr[i][kBlue] = (i % 3) / 2.0;
    }
    CMyvorla_ltDoc doc;
    doc.m_shapeList.reserve(static_cast<std::size_t>(faces));
    doc.m_curShape.m_kind = CShape::kFace;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> place(-1000000.0f, 1000000.0f);
    std::uniform_real_distribution<float> size(50.0f, 3000.0f);
    for (long f = 0; f < faces; ++f) {
        CShape& s = doc.m_curShape;
        if (f % 1000 == 0) s.m_layer = g_layerName[(f / 1000) % 20];
        const float x = place(random), z = place(random), y = size(random) * 3, w = size(random);
        const float c[4][3] = {{x, 0, z}, {x + w, 0, z}, {x + w, y, z}, {x, y, z}};
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a) {
                s.m_vertex[k][a] = c[k][a];
                s.m_normal[k][a] = a == 2 ? 1.0f : 0.0f;
            }
        s.m_color[0] = s.m_color[1] = s.m_color[2] = 1.0f;
        doc.AddShape();
    }
    std::string error;
    if (!WriteFileAtomically(argv[1], [&](CByteSink& sink) { return WriteModelFile(sink, doc.m_shapeList); },
                             error)) {
        std::fprintf(stderr, "make-big-vrl: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
