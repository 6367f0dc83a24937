// The drawing lists of the passes, whole and for the largest faces only: the same faces in
// each pass, largest first, and a leading part of a list is the largest faces of its pass.
#include "model/Globals.h"
#include "model/LayerTable.h"
#include "view/SceneBuffers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <vector>

namespace {

// A flat w × d rectangle on layer `layer`, corner order round the face.
CShape Rectangle(const char* layer, float x, float z, float w, float d)
{
    CShape s;
    s.m_kind = CShape::kFace;
    s.m_layer = layer;
    const float c[4][3] = {{x, 0, z}, {x + w, 0, z}, {x + w, 0, z + d}, {x, 0, z + d}};
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) {
            s.m_vertex[k][a] = c[k][a];
            s.m_normal[k][a] = a == 1 ? 1.0f : 0.0f;
        }
    return s;
}

// A triangle stored as faces are, its third corner repeated as the fourth.
CShape Triangle(const char* layer, float base, float height)
{
    CShape s = Rectangle(layer, 0, 0, base, height);
    for (int a = 0; a < 3; ++a) s.m_vertex[3][a] = s.m_vertex[2][a];
    return s;
}

double Area(const CShape& s)
{
    const float(*v)[3] = s.m_vertex;
    double d1[3], d2[3];
    for (int a = 0; a < 3; ++a) d1[a] = double(v[2][a]) - v[0][a], d2[a] = double(v[3][a]) - v[1][a];
    const double c[3] = {d1[1] * d2[2] - d1[2] * d2[1], d1[2] * d2[0] - d1[0] * d2[2], d1[0] * d2[1] - d1[1] * d2[0]};
    return std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]) / 2;
}

// The faces of an index list (vertex 4i belongs to face i), in the order they first appear,
// and how many indices each has there.
std::vector<uint32_t> FacesOf(const std::vector<uint32_t>& list, std::map<uint32_t, int>* counts = nullptr)
{
    std::vector<uint32_t> faces;
    for (uint32_t index : list) {
        const uint32_t face = index / 4;
        if (faces.empty() || faces.back() != face) faces.push_back(face);
        if (counts) ++(*counts)[face];
    }
    return faces;
}

}  // namespace

TEST(SceneBuffers, OrderBySizeIsLargestFirstStableAndPutsBrokenFacesLast)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    CShapeList shapes = {
        Rectangle("A", 0, 0, 2, 2),       // 0: area 4
        Rectangle("A", 0, 0, 10, 10),     // 1: 100
        Rectangle("A", 0, 0, 1, 1),       // 2: 1
        Rectangle("A", 0, 0, nan, 3),     // 3: not a number
        Rectangle("A", 5, 5, 10, 10),     // 4: 100, after face 1 in the list
        Triangle("A", 20, 20),            // 5: 200, half the rectangle it was cut from
        Rectangle("A", 0, 0, 1e30f, 1e30f),  // 6: beyond a float, not beyond a double
        Rectangle("A", 0, 0, 0, 7),       // 7: no area
    };
    EXPECT_EQ(CSceneBuffers::OrderBySize(shapes), (std::vector<uint32_t>{6, 5, 1, 4, 0, 2, 3, 7}));
    EXPECT_TRUE(CSceneBuffers::OrderBySize({}).empty());
}

TEST(SceneBuffers, LargestFacesListsHoldEachPassesFacesLargestFirst)
{
    ResetGlobals();
    AddLayer("Shown");
    AddLayer("Hidden");
    g_layerAttr[FindLayer("Hidden")][kVisible] = 0.0;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> side(1.0f, 500.0f);
    CShapeList shapes;
    for (int i = 0; i < 3000; ++i) {
        const char* layer = i % 5 == 0 ? "Hidden" : (i % 11 == 0 ? "NoSuchLayer" : "Shown");
        shapes.push_back(i % 3 ? Rectangle(layer, 0, 0, side(random), side(random))
                               : Triangle(layer, side(random), side(random)));
        shapes.back().m_selected = i % 7 == 0 ? 1 : (i % 13 == 0 ? 2 : 0);  // 2: outlined, drawn in place
    }
    g_layerAttr[g_layerCount][kVisible] = 1.0;  // faces on no layer of the table are drawn
    const std::vector<uint32_t> order = CSceneBuffers::OrderBySize(shapes);

    for (bool wireframe : {false, true}) {
        SCOPED_TRACE(wireframe ? "wireframe" : "shaded");
        CSceneBuffers whole, largest;
        whole.BuildIndices(shapes, wireframe);
        largest.BuildIndicesInOrder(shapes, order, shapes.size(), wireframe);
        const std::vector<uint32_t> CSceneBuffers::*lists[] = {&CSceneBuffers::m_faces, &CSceneBuffers::m_selectedFaces,
                                                                &CSceneBuffers::m_wireLines, &CSceneBuffers::m_wireSelected,
                                                                &CSceneBuffers::m_selectionLines};
        for (auto list : lists) {
            std::map<uint32_t, int> wholeCounts, largestCounts;
            FacesOf(whole.*list, &wholeCounts);
            const std::vector<uint32_t> faces = FacesOf(largest.*list, &largestCounts);
            EXPECT_EQ(largestCounts, wholeCounts) << "the same faces with the same primitives";
            for (std::size_t i = 1; i < faces.size(); ++i)
                ASSERT_GE(Area(shapes[faces[i - 1]]) * 1.07, Area(shapes[faces[i]])) << "face " << faces[i];
        }
        EXPECT_FALSE(largest.m_selectionLines.empty());
        EXPECT_EQ(whole.m_wireLines.empty(), !wireframe);

        // A limit counts the faces drawn by some pass, from the largest: hidden faces that are
        // not selected take no place.
        CSceneBuffers part;
        part.BuildIndicesInOrder(shapes, order, 100, wireframe);
        std::vector<uint32_t> drawn;
        for (auto list : lists)
            for (uint32_t face : FacesOf(part.*list)) drawn.push_back(face);
        std::sort(drawn.begin(), drawn.end());
        drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
        std::vector<uint32_t> expected;
        for (uint32_t face : order) {
            if (expected.size() == 100) break;
            const bool shown = shapes[face].m_layer != "Hidden";
            if (shown || shapes[face].m_selected != 0) expected.push_back(face);
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(drawn, expected);
    }
}
