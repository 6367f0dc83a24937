// Faces of POLYLINE entities (polyface meshes, polygon meshes, 2D outlines with thickness)
// and of MESH entities at subdivision level 0.
#include "import/DxfFullGeometry.h"
#include "import/DxfFullRecords.h"

#include <algorithm>
#include <cstdlib>

namespace {

// POLYLINE flags (group 70).
constexpr int kClosedM = 1;  // closed outline; a polygon mesh closed in M
constexpr int kPolyline3D = 8;
constexpr int kPolygonMesh = 16;
constexpr int kClosedN = 32;
constexpr int kPolyfaceMesh = 64;
// VERTEX flags.
constexpr int kFrameControlPoint = 16;
constexpr int kMeshVertex = 64;
constexpr int kPolyfaceVertex = 128;

// Corners as a face: three are a triangle whose fourth corner repeats the third.
void CornersFace(const std::array<double, 3>* const* corners, int count, CDxfRawFace& face)
{
    for (int k = 0; k < 4; ++k) std::copy_n(corners[std::min(k, count - 1)]->data(), 3, face.c[k]);
}

// A face record of a polyface mesh: up to four vertex indices from 1, a negative one marking
// an invisible edge only, a 0 ending the face.
void PolyfaceFaces(const CDxfPolyline& polyline, std::uint32_t layer, const CDxfColour& colour, CDxfFaceOut& out)
{
    std::vector<std::array<double, 3>> points;
    for (const CDxfPolyVertex& v : polyline.vertices)
        if ((v.flags & (kMeshVertex | kPolyfaceVertex)) != kPolyfaceVertex) points.push_back({v.p[0], v.p[1], v.p[2]});
    CDxfRawFace face{};
    face.kind = EDxfFaceKind::Polyface;
    face.rule = ENormalRule::Corners;
    face.layer = layer;
    for (const CDxfPolyVertex& v : polyline.vertices) {
        if ((v.flags & (kMeshVertex | kPolyfaceVertex)) != kPolyfaceVertex) continue;
        const std::array<double, 3>* corners[4];
        int count = 0;
        bool outOfRange = false;
        for (int index : v.index) {
            if (index == 0) break;
            const long k = std::labs(long(index));
            if (k > long(points.size())) outOfRange = true;
            if (!outOfRange) corners[count] = &points[std::size_t(k - 1)];
            ++count;
        }
        if (outOfRange) {
            ++out.LeftOut().polyfaceBadIndex;
        } else if (count < 3) {
            ++out.LeftOut().polyfaceFewCorners;
        } else {
            CornersFace(corners, count, face);
            face.colour = v.ownColour ? v.colour : colour;
            out.Face(face);
        }
    }
}

// The M x N grid of vertices as quads, with the quads that close it in M and in N.
void PolygonMeshFaces(const CDxfPolyline& polyline, std::uint32_t layer, const CDxfColour& colour, CDxfFaceOut& out)
{
    const std::vector<CDxfPolyVertex>& v = polyline.vertices;
    const int flags = polyline.header.g70;
    const long n = polyline.header.g72;
    long m = polyline.header.g71;
    if (m < 1 || n < 1) return;
    bool closedM = (flags & kClosedM) != 0;
    const bool closedN = (flags & kClosedN) != 0;
    if (long(v.size()) < m * n) {
        // The rows that are there make their quads; the grid does not close in M.
        ++out.LeftOut().gridsShort;
        m = long(v.size()) / n;
        closedM = false;
    }
    CDxfRawFace face{};
    face.kind = EDxfFaceKind::PolygonMesh;
    face.rule = ENormalRule::Corners;
    face.layer = layer;
    face.colour = colour;
    auto at = [&](long i, long j) { return v[std::size_t((i % m) * n + (j % n))].p; };
    const long rows = closedM ? m : m - 1;
    const long columns = closedN ? n : n - 1;
    for (long i = 0; i < rows; ++i)
        for (long j = 0; j < columns; ++j) {
            std::copy_n(at(i, j), 3, face.c[0]);
            std::copy_n(at(i, j + 1), 3, face.c[1]);
            std::copy_n(at(i + 1, j + 1), 3, face.c[2]);
            std::copy_n(at(i + 1, j), 3, face.c[3]);
            out.Face(face);
        }
}

// A 2D polyline: its vertices in its own coordinate system at its elevation, joined by
// straight segments or arcs (bulges); with a thickness, one wall per segment.
void OutlineFaces(const CDxfPolyline& polyline, std::uint32_t layer, const CDxfColour& colour, CDxfFaceOut& out)
{
    const CDxfEntityRecord& h = polyline.header;
    if (h.thickness == 0.0) {
        ++out.LeftOut().withoutThickness[int(EDxfFaceKind::Polyline2D)];
        return;
    }
    std::vector<const CDxfPolyVertex*> drawn;
    for (const CDxfPolyVertex& v : polyline.vertices)
        if ((v.flags & kFrameControlPoint) == 0) drawn.push_back(&v);
    std::vector<CDxfPoint2> outline;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const CDxfPoint2 p{drawn[i]->p[0], drawn[i]->p[1]};
        if (i == 0) {
            outline.push_back(p);
        } else {
            DxfAppendBulge({drawn[i - 1]->p[0], drawn[i - 1]->p[1]}, p, drawn[i - 1]->bulge, outline);
        }
    }
    if ((h.g70 & kClosedM) && drawn.size() > 1)
        DxfAppendBulge({drawn.back()->p[0], drawn.back()->p[1]}, {drawn[0]->p[0], drawn[0]->p[1]}, drawn.back()->bulge,
                       outline);
    DxfWalls(outline, h.point[0][2], h.thickness, h.extrusion, EDxfFaceKind::Polyline2D, layer, colour, out);
}

}  // namespace

void DxfPolylineFaces(const CDxfPolyline& polyline, std::uint32_t layer, const CDxfColour& colour, CDxfFaceOut& out)
{
    const int flags = polyline.header.g70;
    if (flags & kPolyfaceMesh) {
        PolyfaceFaces(polyline, layer, colour, out);
    } else if (flags & kPolygonMesh) {
        PolygonMeshFaces(polyline, layer, colour, out);
    } else if (flags & kPolyline3D) {
        ++out.LeftOut().polylines3D;
    } else {
        OutlineFaces(polyline, layer, colour, out);
    }
}

// The face list holds, for each face, its corner count and then that many vertex indices
// from 0. A face of k corners past four is split into k - 2 triangles around its first.
void DxfMeshFaces(const CDxfEntityRecord& mesh, std::uint32_t layer, const CDxfColour& colour, CDxfFaceOut& out)
{
    const auto& list = mesh.meshFaceList;
    const auto& points = mesh.meshVertices;
    CDxfRawFace face{};
    face.kind = EDxfFaceKind::Mesh;
    face.rule = ENormalRule::Corners;
    face.layer = layer;
    face.colour = colour;
    std::size_t i = 0;
    while (i < list.size()) {
        const long count = list[i++];
        if (count < 0 || std::size_t(count) > list.size() - i) {
            ++out.LeftOut().meshBadFaces;  // the list ends inside this face
            return;
        }
        const std::size_t first = i;
        i += std::size_t(count);
        bool usable = count >= 3;
        for (std::size_t k = first; k < i && usable; ++k) usable = list[k] >= 0 && std::size_t(list[k]) < points.size();
        if (!usable) {
            ++out.LeftOut().meshBadFaces;
            continue;
        }
        const std::array<double, 3>* corners[4];
        if (count <= 4) {
            for (long k = 0; k < count; ++k) corners[k] = &points[std::size_t(list[first + std::size_t(k)])];
            CornersFace(corners, int(count), face);
            out.Face(face);
            continue;
        }
        for (long k = 1; k + 1 < count; ++k) {
            corners[0] = &points[std::size_t(list[first])];
            corners[1] = &points[std::size_t(list[first + std::size_t(k)])];
            corners[2] = &points[std::size_t(list[first + std::size_t(k) + 1])];
            CornersFace(corners, 3, face);
            out.Face(face);
        }
    }
}
