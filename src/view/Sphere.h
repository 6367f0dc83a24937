// The sphere command: a sphere of radius 1000 around the origin, 80 triangles from a once
// subdivided icosahedron, added to the document in the layer "Object01".
#pragma once

#include "model/Document.h"

inline constexpr char kSphereLayer[] = "Object01";
inline constexpr double kSphereRadius = 1000.0;

// Appends the 80 faces through the scratch face, with one normal per face when g_flatNormals
// is 1 and the unit corner positions as normals otherwise. Adds the layer if there is room;
// with a full table the faces still name it.
void AddSphere(CMyvorla_ltDoc& doc);
