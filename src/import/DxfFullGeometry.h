// Geometry of the full DXF import, in DXF coordinates (Z up), as doubles: entity coordinate
// systems, the SOLID corner rule, normals, the no-area test, arcs as segments and the walls of
// extruded outlines.
#pragma once

#include "import/DxfFullRecords.h"

#include <vector>

// The axes of an entity's own coordinate system (OCS) whose Z axis is the extrusion N, by
// the arbitrary-axis rule, each of unit length. False when N has no length.
bool DxfOcsAxes(const double n[3], double ax[3], double ay[3], double az[3]);

// SOLID and TRACE corners as the default import makes them: the points carried into world
// coordinates by N as read (not normalised, divided by D), in the order 1-2-4-3. False when
// N gives no usable axis.
bool DxfSolidCorners(const double p[4][3], const double n[3], double c[4][3]);

// Whether a face has an area: some three of its corners are not on one line.
bool DxfHasArea(const double c[4][3]);

// The unit normal by the rule; a face whose rule gives none (its first corners coincide)
// takes the normal of its whole outline; one of no area the zero vector.
void DxfFaceNormal(const double c[4][3], ENormalRule rule, double out[3]);

struct CDxfPoint2 {
    double x = 0, y = 0;
};

// The arc from `a` to `b` of a polyline vertex's bulge (the tangent of a quarter of the arc's
// angle, positive counter-clockwise) as points after `a`, up to and including `b`, at most 10
// degrees apart. A bulge of 0 appends `b` alone.
void DxfAppendBulge(const CDxfPoint2& a, const CDxfPoint2& b, double bulge, std::vector<CDxfPoint2>& out);

// The counter-clockwise span from `start` to `end` in degrees, 0 to 360: equal values span
// nothing, values equal but for whole turns a full circle.
double DxfArcSpan(double start, double end);

// One wall quad per segment of the outline (points in the entity's own coordinate system at
// `elevation`), extruded along the extrusion by `thickness`. Segments of no length are left
// out; an extrusion of no length is counted and makes nothing.
void DxfWalls(const std::vector<CDxfPoint2>& outline, double elevation, double thickness, const double extrusion[3],
              EDxfFaceKind kind, std::uint32_t layer, const CDxfColour& colour, CDxfFaceOut& out);
