// Times a pick, Select All, Cut and a finished move on a generated model of a million faces held
// in memory, against a plain read of every face's first corner (the floor of any pass over the
// list). Prints the median of several runs of each.
#include "interaction/Editing.h"
#include "interaction/MoveState.h"
#include "interaction/Picking.h"
#include "model/Document.h"
#include "model/Globals.h"
#include "model/LayerTable.h"
#include "view/Camera.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 7;

// A square grid of unit quads 100 units apart on the ground, in runs of 1000 faces per layer
// over 20 layers (one of them hidden), as a CAD export groups its faces.
void BuildModel(CMyvorla_ltDoc& doc, int side)
{
    for (int l = 0; l < 20; ++l) AddLayer("Layer" + std::to_string(l));
    g_layerAttr[7][kVisible] = 0.0;
    doc.m_shapeList.reserve(std::size_t(side) * side);
    doc.m_curShape.m_kind = CShape::kFace;
    for (int i = 0; i < side; ++i) {
        for (int j = 0; j < side; ++j) {
            const std::size_t n = doc.m_shapeList.size();
            if (n % 1000 == 0) doc.SetCurLayer(g_layerName[(n / 1000) % 20]);
            const float x = (i - side / 2) * 100.0f, z = (j - side / 2) * 100.0f;
            const float corners[4][3] = {{x, 0, z}, {x + 100, 0, z}, {x + 100, 0, z + 100}, {x, 0, z + 100}};
            for (int k = 0; k < 4; ++k)
                for (int c = 0; c < 3; ++c) {
                    doc.m_curShape.m_vertex[k][c] = corners[k][c];
                    doc.m_curShape.m_normal[k][c] = c == 1 ? 1.0f : 0.0f;
                }
            doc.AddShape();
        }
    }
}

// Median milliseconds of kRuns calls of `run`, each after an untimed `prepare`.
double MedianMs(const std::function<void()>& prepare, const std::function<void()>& run)
{
    std::vector<double> ms;
    for (int r = 0; r < kRuns; ++r) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto stop = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const int side = argc > 1 ? std::atoi(argv[1]) : 1000;
    ResetGlobals();
    InitViewDefaults();
    CMyvorla_ltDoc model;
    BuildModel(model, side);
    const std::size_t faces = model.m_shapeList.size();
    // The whole grid (100,000 units across at 1000 × 1000) in view from above.
    g_camOffset[2] = -150000.0f;
    g_pitch = 60.0;
    RecordFrame(1280, 960);

    volatile double sink = 0;
    const double floorMs = MedianMs([] {}, [&] {
        double sum = 0;
        for (const CShape& s : model.m_shapeList) sum += s.m_vertex[0][0];
        sink = sum;
    });

    // A click where no first corner lies (a corner of the window, outside the grid): every face
    // is tested.
    std::ptrdiff_t hit = 0;
    const double pickMs = MedianMs([] {}, [&] { hit = HitTest(model.m_shapeList, 2, 2); });
    const double gluPickMs = MedianMs([] {}, [&] {
        // The same test through the general ProjectPoint call per face.
        std::ptrdiff_t found = -1;
        const double clickY = g_viewport[3] - 2;
        for (std::size_t i = 0; i < model.m_shapeList.size() && found < 0; ++i) {
            const float* v = model.m_shapeList[i].m_vertex[0];
            double w[3];
            if (ProjectPoint(v[0], v[1], v[2], g_modelview, g_projection, g_viewport, w) &&
                std::abs(w[0] - 2) < 3 && std::abs(w[1] - clickY) < 3)
                found = std::ptrdiff_t(i);
        }
        sink = double(found);
    });

    CMyvorla_ltDoc doc;
    const double selectAllMs = MedianMs([&] { doc = model; }, [&] { SelectAll(doc); });

    // Every seventh face selected: scattered removals all over the list.
    auto selectScattered = [&] {
        doc = model;
        for (std::size_t i = 0; i < doc.m_shapeList.size(); i += 7) doc.m_shapeList[i].m_selected = 1;
    };
    std::size_t left = 0;
    const double cutMs = MedianMs(selectScattered, [&] {
        CutSelected(doc);
        left = doc.m_shapeList.size();
    });
    const double moveMs = MedianMs(selectScattered, [&] {
        g_moveFrom[0] = 0, g_moveTo[0] = 250;
        MoveSelectedShapes(doc.m_shapeList);
    });

    std::printf("faces: %zu (medians of %d runs, ms)\n", faces, kRuns);
    std::printf("%-34s %9.2f\n", "floor: read every first corner", floorMs);
    std::printf("%-34s %9.2f  (%.1f x floor)  hit %td\n", "pick, nothing hit", pickMs, pickMs / floorMs, hit);
    std::printf("%-34s %9.2f  (%.1f x floor)\n", "pick through ProjectPoint", gluPickMs, gluPickMs / floorMs);
    std::printf("%-34s %9.2f  (%.1f x floor)\n", "select all", selectAllMs, selectAllMs / floorMs);
    std::printf("%-34s %9.2f  (%.1f x floor)  %zu left\n", "cut every 7th face", cutMs, cutMs / floorMs,
                left);
    std::printf("%-34s %9.2f  (%.1f x floor)\n", "finish a move of every 7th face", moveMs, moveMs / floorMs);
    return 0;
}
