// The sphere command: 80 faces on a radius of 1000, in a fixed order, with flat or smooth normals.
#include "model/Document.h"
#include "model/LayerTable.h"
#include "view/CameraState.h"
#include "view/Sphere.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct CVec {
    double x, y, z;
};

CVec Corner(const CShape& s, int k) { return {s.m_vertex[k][0], s.m_vertex[k][1], s.m_vertex[k][2]}; }
CVec Normal(const CShape& s, int k) { return {s.m_normal[k][0], s.m_normal[k][1], s.m_normal[k][2]}; }
CVec Sub(CVec a, CVec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(CVec a, CVec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(CVec a) { return std::sqrt(Dot(a, a)); }

// An icosahedron vertex or normalised edge point of the Z-up unit sphere, in the stored frame
// (x, z, -y) scaled by 1000.
CVec Stored(double x, double y, double z)
{
    const double length = std::sqrt(x * x + y * y + z * z);
    return {1000 * x / length, 1000 * z / length, -1000 * y / length};
}

constexpr double kA = 0.5257311121191336;
constexpr double kB = 0.8506508083520399;

void ExpectNear(CVec got, CVec want, double tolerance, const char* what)
{
    EXPECT_NEAR(got.x, want.x, tolerance) << what;
    EXPECT_NEAR(got.y, want.y, tolerance) << what;
    EXPECT_NEAR(got.z, want.z, tolerance) << what;
}

}  // namespace

TEST(Sphere, EightyWhiteUnselectedFacesOnARadiusOf1000InLayerObject01)
{
    CMyvorla_ltDoc doc;
    AddSphere(doc);
    ASSERT_EQ(doc.m_shapeList.size(), 80u);
    EXPECT_TRUE(doc.IsModified());
    for (const CShape& s : doc.m_shapeList) {
        EXPECT_EQ(s.m_kind, 3);
        EXPECT_EQ(s.m_selected, 0);
        EXPECT_EQ(s.m_layer, "Object01");
        EXPECT_EQ(s.m_color[0], 1.0f);
        EXPECT_EQ(s.m_color[1], 1.0f);
        EXPECT_EQ(s.m_color[2], 1.0f);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(Length(Corner(s, k)), 1000.0, 1e-3);
        for (int a = 0; a < 3; ++a) {
            EXPECT_EQ(s.m_vertex[3][a], s.m_vertex[2][a]);
            EXPECT_EQ(s.m_normal[3][a], s.m_normal[2][a]);
        }
    }
    ASSERT_EQ(g_layerCount, 1);
    EXPECT_EQ(g_layerName[0], "Object01");
    const double white[kLayerAttrCount] = {1, 1, 1, 0, 0, 1};
    for (int a = 0; a < kLayerAttrCount; ++a) EXPECT_EQ(g_layerAttr[0][a], white[a]);
}

TEST(Sphere, FacesComeInSubdivisionOrderFromTheFirstBaseFace)
{
    CMyvorla_ltDoc doc;
    AddSphere(doc);
    // Base face (0, 1, 4): A = vertex 0, B = vertex 1, C = vertex 4; the edge points are the
    // normalised sums. Its four triangles are (A, AB, CA), (B, BC, AB), (C, CA, BC), (AB, BC, CA).
    const CVec a = Stored(-kA, kB, 0), b = Stored(kA, kB, 0), c = Stored(0, kA, -kB);
    const CVec ab = Stored(0, 2 * kB, 0), bc = Stored(kA, kA + kB, -kB), ca = Stored(-kA, kA + kB, -kB);
    const CVec expected[4][3] = {{a, ab, ca}, {b, bc, ab}, {c, ca, bc}, {ab, bc, ca}};
    for (int f = 0; f < 4; ++f)
        for (int k = 0; k < 3; ++k) ExpectNear(Corner(doc.m_shapeList[f], k), expected[f][k], 1e-3, "corner");
    ExpectNear(Corner(doc.m_shapeList[0], 1), {0, 0, -1000}, 1e-4, "A+B lies on the -Z axis of the display frame");
    // The last base face (7, 11, 2) gives the last four triangles; its first corner is vertex 7.
    ExpectNear(Corner(doc.m_shapeList[76], 0), Stored(0, -kA, kB), 1e-3, "vertex 7");
}

TEST(Sphere, FlatNormalsAreUnitPerpendicularAndPointOutward)
{
    CMyvorla_ltDoc doc;
    AddSphere(doc);
    for (const CShape& s : doc.m_shapeList) {
        const CVec n = Normal(s, 0);
        for (int k = 1; k < 4; ++k) ExpectNear(Normal(s, k), n, 0, "one normal per face");
        EXPECT_NEAR(Length(n), 1.0, 1e-6);
        const CVec c0 = Corner(s, 0), c1 = Corner(s, 1), c2 = Corner(s, 2);
        EXPECT_NEAR(Dot(n, Sub(c1, c0)) / Length(Sub(c1, c0)), 0.0, 1e-5);
        EXPECT_NEAR(Dot(n, Sub(c2, c1)) / Length(Sub(c2, c1)), 0.0, 1e-5);
        const CVec centre = {(c0.x + c1.x + c2.x) / 3, (c0.y + c1.y + c2.y) / 3, (c0.z + c1.z + c2.z) / 3};
        EXPECT_GT(Dot(n, centre) / Length(centre), 0.9) << "points away from the sphere's centre";
    }
}

TEST(Sphere, SmoothNormalsAreTheCornerPositionsOver1000)
{
    g_flatNormals = 0;
    CMyvorla_ltDoc doc;
    AddSphere(doc);
    ASSERT_EQ(doc.m_shapeList.size(), 80u);
    for (const CShape& s : doc.m_shapeList)
        for (int k = 0; k < 4; ++k) {
            const CVec p = Corner(s, k);
            ExpectNear(Normal(s, k), {p.x / 1000, p.y / 1000, p.z / 1000}, 1e-6, "normal");
            EXPECT_NEAR(Length(Normal(s, k)), 1.0, 1e-6);
        }
}

TEST(Sphere, EveryCommandAppendsAnotherEightyFacesInOneLayer)
{
    CMyvorla_ltDoc doc;
    AddSphere(doc);
    AddSphere(doc);
    ASSERT_EQ(doc.m_shapeList.size(), 160u);
    EXPECT_EQ(g_layerCount, 1);
    for (std::size_t i = 0; i < 80; ++i) EXPECT_EQ(doc.m_shapeList[i], doc.m_shapeList[i + 80]);
}

TEST(Sphere, AnExistingLayerKeepsItsValuesAndAFullTableStillGetsTheFaces)
{
    AddLayer("Object01");
    g_layerAttr[0][kRed] = 0.25;
    CMyvorla_ltDoc doc;
    AddSphere(doc);
    EXPECT_EQ(g_layerCount, 1);
    EXPECT_EQ(g_layerAttr[0][kRed], 0.25);

    g_layerCount = 0;
    for (int i = 0; i < kAddLayerLimit; ++i) AddLayer("L" + std::to_string(i));
    CMyvorla_ltDoc full;
    AddSphere(full);
    EXPECT_EQ(g_layerCount, kAddLayerLimit);
    EXPECT_EQ(FindLayer("Object01"), g_layerCount);
    ASSERT_EQ(full.m_shapeList.size(), 80u);
    for (const CShape& s : full.m_shapeList) EXPECT_EQ(s.m_layer, "Object01");
}
