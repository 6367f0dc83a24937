// One entity's groups as the full DXF import reads them, and the faces of 3DFACE, SOLID,
// TRACE, LINE, LWPOLYLINE, CIRCLE and ARC.
#include "import/DxfFullGeometry.h"
#include "import/DxfFullRecords.h"

#include "model/Constants.h"

#include <algorithm>
#include <cmath>

void CDxfEntityRecord::Begin(EDxfEntity entity)
{
    kind = entity;
    layer.clear();
    layer.push_back('0');  // (assign("0") trips a false -Wrestrict of GCC 12 at -O2)
    aci = 256;
    hasTrueColour = false;
    trueColour = 0;
    paperSpace = false;
    name2.clear();
    for (auto& p : point) p[0] = p[1] = p[2] = 0.0;
    pointsGiven = 0;
    extrusion[0] = extrusion[1] = 0.0;
    extrusion[2] = 1.0;
    thickness = elevation = radius = 0.0;
    // Group 42 is the bulge of a vertex but the Y scale of an INSERT; 70 and 71 its columns and rows.
    g41 = 1.0, g42 = entity == EDxfEntity::Insert ? 1.0 : 0.0, g43 = 1.0, g44 = 0.0, g45 = 0.0;
    angle50 = angle51 = 0.0;
    g70 = g71 = entity == EDxfEntity::Insert ? 1 : 0;
    g72 = g73 = g74 = 0;
    colourGiven = false;
    lwVertices.clear();
    meshVertices.clear();
    meshFaceList.clear();
    meshListLeft = 0;
    meshGroups = true;
}

void CDxfEntityRecord::Store(int code, const CDxfFullValue& value)
{
    const bool lw = kind == EDxfEntity::LwPolyline;
    const bool mesh = kind == EDxfEntity::Mesh && meshGroups;
    // The points of most entities, most of a file's pairs, without the table of the switch.
    const unsigned fromTen = unsigned(code) - 10u;
    if (fromTen < 24 && fromTen % 10 < 4 && !lw && !mesh) {
        const unsigned k = fromTen % 10;
        point[k][fromTen / 10] = value.Number();
        pointsGiven |= 1u << k;
        return;
    }
    switch (code) {
    case 8: layer.assign(value.text); break;
    case 62:
        aci = value.Integer();
        colourGiven = true;
        break;
    case 420:
        hasTrueColour = true;
        trueColour = value.Integer();
        colourGiven = true;
        break;
    case 67: paperSpace = value.Integer() == 1; break;
    case 2: name2.assign(value.text); break;
    case 10:
        if (lw) {
            lwVertices.push_back({value.Number(), 0.0, 0.0});
        } else if (mesh) {
            meshVertices.push_back({value.Number(), 0.0, 0.0});
        } else {
            point[0][0] = value.Number();
            pointsGiven |= 1;
        }
        break;
    case 20:
        if (lw) {
            if (!lwVertices.empty()) lwVertices.back().y = value.Number();
        } else if (mesh) {
            if (!meshVertices.empty()) meshVertices.back()[1] = value.Number();
        } else {
            point[0][1] = value.Number();
            pointsGiven |= 1;
        }
        break;
    case 30:
        if (mesh) {
            if (!meshVertices.empty()) meshVertices.back()[2] = value.Number();
        } else {
            point[0][2] = value.Number();
            pointsGiven |= 1;
        }
        break;
    case 11: case 12: case 13:
    case 21: case 22: case 23:
    case 31: case 32: case 33: {
        const int k = code % 10;
        point[k][code / 10 - 1] = value.Number();
        pointsGiven |= 1u << k;
        break;
    }
    case 38: elevation = value.Number(); break;
    case 39: thickness = value.Number(); break;
    case 40: radius = value.Number(); break;
    case 41: g41 = value.Number(); break;
    case 42:
        if (lw) {
            if (!lwVertices.empty()) lwVertices.back().bulge = value.Number();
        } else {
            g42 = value.Number();
        }
        break;
    case 43: g43 = value.Number(); break;
    case 44: g44 = value.Number(); break;
    case 45: g45 = value.Number(); break;
    case 50: angle50 = value.Number(); break;
    case 51: angle51 = value.Number(); break;
    case 70: g70 = value.Integer(); break;
    case 71: g71 = value.Integer(); break;
    case 72: g72 = value.Integer(); break;
    case 73: g73 = value.Integer(); break;
    case 74: g74 = value.Integer(); break;
    case 90:
        if (mesh && meshListLeft > 0) {
            meshFaceList.push_back(value.Integer());
            --meshListLeft;
        }
        break;
    case 93:
        if (mesh) meshListLeft = std::max(0, value.Integer());
        break;
    case 94:
    case 95:
        if (mesh) meshListLeft = 0;  // edges and creases follow, also in group 90
        break;
    case 100:
        // The mesh's own groups follow its subclass marker; those of AcDbEntity before it
        // (92, the size of proxy graphics) are not the mesh's.
        if (kind == EDxfEntity::Mesh) meshGroups = value.text == "AcDbSubDMesh";
        break;
    case 210: extrusion[0] = value.Number(); break;
    case 220: extrusion[1] = value.Number(); break;
    case 230: extrusion[2] = value.Number(); break;
    default: break;
    }
}

namespace {

// Points of a circle or an arc in its own coordinate system, at most 10 degrees apart.
// A full circle ends on its first point exactly.
std::vector<CDxfPoint2> ArcOutline(const double centre[3], double r, double start, double span)
{
    std::vector<CDxfPoint2> points;
    if (!(r > 0.0) || !std::isfinite(r) || !std::isfinite(start) || !(span > 0.0)) return points;
    const int segments = std::max(1, int(std::ceil(span / 10.0 - 1e-9)));
    const bool full = span >= 360.0;
    for (int k = 0; k <= segments; ++k) {
        const double degrees = full && k == segments ? start : start + span * k / segments;
        const double t = degrees * kDegToRad;
        points.push_back({centre[0] + r * std::cos(t), centre[1] + r * std::sin(t)});
    }
    return points;
}

}  // namespace

void DxfEntityFaces(const CDxfEntityRecord& e, std::uint32_t layer, const CDxfColour& colour, CDxfFaceOut& out)
{
    CDxfRawFace face{};
    face.layer = layer;
    face.colour = colour;
    // A face given three points is a triangle: its fourth corner repeats the third.
    double p[4][3];
    std::copy(&e.point[0][0], &e.point[0][0] + 12, &p[0][0]);
    if ((e.pointsGiven & 8u) == 0) std::copy_n(p[2], 3, p[3]);

    switch (e.kind) {
    case EDxfEntity::Face3D:
        face.kind = EDxfFaceKind::Face3D;
        face.rule = ENormalRule::Corners;
        std::copy(&p[0][0], &p[0][0] + 12, &face.c[0][0]);
        out.Face(face);
        break;
    case EDxfEntity::Solid:
    case EDxfEntity::Trace:
        face.kind = e.kind == EDxfEntity::Solid ? EDxfFaceKind::Solid : EDxfFaceKind::Trace;
        face.rule = ENormalRule::Corners;
        if (!DxfSolidCorners(p, e.extrusion, face.c)) {
            ++out.LeftOut().badExtrusion;
            return;
        }
        out.Face(face);
        break;
    case EDxfEntity::Line: {
        const double t = e.thickness;
        if (t == 0.0) {
            ++out.LeftOut().withoutThickness[int(EDxfFaceKind::Line)];
            return;
        }
        // As the default import extrudes: along N as read, +Z for a zero N.
        const double* n = e.extrusion;
        double offset[3] = {t * n[0], t * n[1], t * n[2]};
        if (n[0] == 0.0 && n[1] == 0.0 && n[2] == 0.0) offset[0] = 0.0, offset[1] = 0.0, offset[2] = t;
        for (int a = 0; a < 3; ++a) {
            face.c[0][a] = p[0][a];
            face.c[1][a] = p[1][a];
            face.c[2][a] = p[1][a] + offset[a];
            face.c[3][a] = p[0][a] + offset[a];
        }
        face.kind = EDxfFaceKind::Line;
        face.rule = ENormalRule::Extruded;
        out.Face(face);
        break;
    }
    case EDxfEntity::LwPolyline: {
        if (e.thickness == 0.0) {
            ++out.LeftOut().withoutThickness[int(EDxfFaceKind::LwPolyline)];
            return;
        }
        std::vector<CDxfPoint2> outline;
        const auto& v = e.lwVertices;
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (i == 0) {
                outline.push_back({v[0].x, v[0].y});
            } else {
                DxfAppendBulge({v[i - 1].x, v[i - 1].y}, {v[i].x, v[i].y}, v[i - 1].bulge, outline);
            }
        }
        if ((e.g70 & 1) && v.size() > 1) DxfAppendBulge({v.back().x, v.back().y}, {v[0].x, v[0].y}, v.back().bulge, outline);
        DxfWalls(outline, e.elevation, e.thickness, e.extrusion, EDxfFaceKind::LwPolyline, layer, colour, out);
        break;
    }
    case EDxfEntity::Circle:
    case EDxfEntity::Arc: {
        const EDxfFaceKind kind = e.kind == EDxfEntity::Circle ? EDxfFaceKind::Circle : EDxfFaceKind::Arc;
        if (e.thickness == 0.0) {
            ++out.LeftOut().withoutThickness[int(kind)];
            return;
        }
        const bool arc = e.kind == EDxfEntity::Arc;
        const double start = arc ? e.angle50 : 0.0;
        const double span = arc ? DxfArcSpan(e.angle50, e.angle51) : 360.0;
        DxfWalls(ArcOutline(e.point[0], e.radius, start, span), e.point[0][2], e.thickness, e.extrusion, kind, layer,
                 colour, out);
        break;
    }
    default: break;
    }
}
