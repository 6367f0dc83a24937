// Sphere generation. The icosahedron is built on the unit sphere in a Z-up frame and every
// point is mapped to the display frame as (x, z, -y) only when stored; all arithmetic is double.
#include "view/Sphere.h"

#include "model/LayerTable.h"
#include "view/CameraState.h"

#include <cmath>

namespace {

struct CVec3 {
    double x, y, z;
};

CVec3 operator+(CVec3 a, CVec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
CVec3 operator-(CVec3 a, CVec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
CVec3 Cross(CVec3 a, CVec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// Unit length; a zero vector stays as it is.
CVec3 Normalized(CVec3 v)
{
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0) return v;
    return {v.x / length, v.y / length, v.z / length};
}

constexpr double kA = 0.5257311121191336;
constexpr double kB = 0.8506508083520399;

constexpr CVec3 kIcosahedron[12] = {
    {-kA, kB, 0}, {kA, kB, 0}, {-kA, -kB, 0}, {kA, -kB, 0}, {0, kA, -kB}, {0, -kA, -kB},
    {0, kA, kB},  {0, -kA, kB}, {kB, 0, -kA}, {-kB, 0, -kA}, {kB, 0, kA}, {-kB, 0, kA},
};

// Wound so that (A - B) x (B - C) points away from the centre.
constexpr int kIcosahedronFaces[20][3] = {
    {0, 1, 4},   {0, 4, 9},  {9, 4, 5},  {4, 8, 5},  {4, 1, 8},  {8, 1, 10}, {8, 10, 3},
    {5, 8, 3},   {5, 3, 2},  {2, 3, 7},  {7, 3, 10}, {7, 10, 6}, {7, 6, 11}, {11, 6, 0},
    {0, 6, 1},   {6, 10, 1}, {9, 11, 0}, {9, 2, 11}, {9, 5, 2},  {7, 11, 2},
};

void Store(float (&out)[3], CVec3 p, double scale)
{
    out[0] = static_cast<float>(scale * p.x);
    out[1] = static_cast<float>(scale * p.z);
    out[2] = static_cast<float>(-scale * p.y);
}

void Emit(CMyvorla_ltDoc& doc, CVec3 a, CVec3 b, CVec3 c)
{
    CShape& s = doc.m_curShape;
    s.m_kind = CShape::kFace;
    s.m_selected = 0;
    s.m_color[0] = s.m_color[1] = s.m_color[2] = 1.0f;
    if (g_flatNormals == 1) {
        const CVec3 n = Normalized(Cross(a - b, b - c));
        for (auto& normal : s.m_normal) Store(normal, n, 1.0);
    } else {
        Store(s.m_normal[0], a, 1.0);
        Store(s.m_normal[1], b, 1.0);
        Store(s.m_normal[2], c, 1.0);
        Store(s.m_normal[3], c, 1.0);
    }
    Store(s.m_vertex[0], a, kSphereRadius);
    Store(s.m_vertex[1], b, kSphereRadius);
    Store(s.m_vertex[2], c, kSphereRadius);
    Store(s.m_vertex[3], c, kSphereRadius);
    doc.SetCurLayer(kSphereLayer);
    AddLayer(kSphereLayer);
    doc.AddShape();
}

// Edge points are sums pushed out to the sphere, not midpoints, so every corner stays on it.
void Subdivide(CMyvorla_ltDoc& doc, CVec3 a, CVec3 b, CVec3 c, int depth)
{
    if (depth == 0) {
        Emit(doc, a, b, c);
        return;
    }
    const CVec3 ab = Normalized(a + b), bc = Normalized(b + c), ca = Normalized(c + a);
    Subdivide(doc, a, ab, ca, depth - 1);
    Subdivide(doc, b, bc, ab, depth - 1);
    Subdivide(doc, c, ca, bc, depth - 1);
    Subdivide(doc, ab, bc, ca, depth - 1);
}

}  // namespace

void AddSphere(CMyvorla_ltDoc& doc)
{
    for (const auto& face : kIcosahedronFaces)
        Subdivide(doc, kIcosahedron[face[0]], kIcosahedron[face[1]], kIcosahedron[face[2]], 1);
}
