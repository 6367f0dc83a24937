// make-big-vrl OUT.vrl [SHAPES]: a large model for the benchmarks, by default 1,000,000 faces on
// 20 layers: rows of walls (quads) and roof triangles with coordinates that have fractions, as
// real CAD exports do. The same count always gives the same file.
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
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make-big-vrl OUT.vrl [SHAPES]\n");
        return 2;
    }
    const long count = argc == 3 ? std::atol(argv[2]) : 1000000;
    ResetGlobals();
    InitViewDefaults();
    constexpr int kLayers = 20;
    for (int i = 0; i < kLayers; ++i) {
        AddLayer("Layer" + std::to_string(i));
        g_layerAttr[i][kRed] = 0.05 * i;
        g_layerAttr[i][kReflection] = 0.01 * i;
    }
    CMyvorla_ltDoc doc;
    doc.m_shapeList.reserve(static_cast<std::size_t>(count));
    CShape& s = doc.m_curShape;
    s.m_kind = CShape::kFace;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> jitter(-0.5f, 0.5f);
    for (long n = 0; n < count; ++n) {
        // Runs of 1000 faces share a layer, as faces of one drawing layer come together.
        s.m_layer = g_layerName[(n / 1000) % kLayers];
        const float x = float(n % 1000) * 123.25f - 61000.0f + jitter(random);
        const float z = float(n / 1000) * 97.5f - 48000.0f + jitter(random);
        const float h = 2800.0f + jitter(random) * 100.0f;
        const bool triangle = n % 4 == 3;
        const float corners[4][3] = {{x, 0, z}, {x + 120.125f, 0, z}, {x + 120.125f, h, z + 0.75f}, {x, h, z + 0.75f}};
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a) s.m_vertex[k][a] = corners[triangle && k == 3 ? 2 : k][a];
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
