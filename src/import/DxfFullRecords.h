// The working records of the full DXF import: one entity's groups as read, the faces and
// INSERTs an entity makes, and where they go (model space or the block being defined).
#pragma once

#include "import/DxfColours.h"
#include "import/DxfFullImport.h"
#include "import/DxfFullPairs.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum class EDxfEntity : std::uint8_t {
    None,
    Skipped,
    Face3D,
    Solid,
    Trace,
    Line,
    Polyline,
    Vertex,
    Seqend,
    LwPolyline,
    Circle,
    Arc,
    Insert,
    Attrib,
    Mesh,
    Block,
    EndBlk,
    Section,
    EndSec,
    LayerEntry,
};

struct CDxfLwVertex {
    double x = 0, y = 0, bulge = 0;
};

// What the reader uses of a value, by group code: its text, its number (atof), its integer
// (atoi), or nothing. Every code that CDxfEntityRecord::Store, the header or the section gate
// reads is here; the pair worker keeps only these, so the two ways of reading agree.
enum class EDxfFullValue : std::uint8_t { Unused, Text, Number, Integer };

inline EDxfFullValue DxfFullValueKind(int code)
{
    switch (code) {
    case 0: case 1: case 2: case 3: case 8: case 9: case 100:
        return EDxfFullValue::Text;
    case 10: case 11: case 12: case 13: case 20: case 21: case 22: case 23: case 30: case 31: case 32: case 33:
    case 38: case 39: case 40: case 41: case 42: case 43: case 44: case 45: case 50: case 51:
    case 210: case 220: case 230:
        return EDxfFullValue::Number;
    case 62: case 67: case 70: case 71: case 72: case 73: case 74: case 90: case 93: case 94: case 95: case 420:
        return EDxfFullValue::Integer;
    default:
        return EDxfFullValue::Unused;
    }
}

// The groups of one entity, with the defaults the format gives groups that are absent.
struct CDxfEntityRecord {
    EDxfEntity kind = EDxfEntity::None;
    std::string layer;  // as written; "0" when absent
    int aci = 256;
    bool hasTrueColour = false;
    std::int32_t trueColour = 0;
    bool colourGiven = false;  // group 62 or 420 was read
    bool paperSpace = false;
    std::string name2;  // group 2: block, section or layer name

    double point[4][3] = {};
    unsigned pointsGiven = 0;  // bit k: a group of point k (1k, 2k, 3k) was read
    double extrusion[3] = {0, 0, 1};
    double thickness = 0, elevation = 0, radius = 0;
    double g41 = 1, g42 = 0, g43 = 1, g44 = 0, g45 = 0;
    double angle50 = 0, angle51 = 0;
    int g70 = 0, g71 = 0, g72 = 0, g73 = 0, g74 = 0;

    std::vector<CDxfLwVertex> lwVertices;  // LWPOLYLINE
    // MESH: base vertices, then the face list (a count, that many indices, the next count...).
    std::vector<std::array<double, 3>> meshVertices;
    std::vector<int> meshFaceList;
    std::int64_t meshListLeft = 0;  // values of group 90 still to come for the face list
    bool meshGroups = true;         // the groups read now are the mesh's (after its subclass marker)

    void Begin(EDxfEntity entity);
    void Store(int code, const CDxfFullValue& value);
};

// How a face's normal is found from its corners, as the default import finds it: (C1 - C2) x
// (C2 - C3) for faces given by their corners, (C2 - C1) x (C3 - C1) for extruded lines.
enum class ENormalRule : std::uint8_t { Corners, Extruded };

// A face in the coordinates of where it was defined (the drawing, or its block), before units.
struct CDxfRawFace {
    double c[4][3];
    EDxfFaceKind kind;
    ENormalRule rule;
    std::uint32_t layer;  // an id of CDxfEmitter's layers
    CDxfColour colour;
};

// An INSERT: a block placed (in copies, when an array) with its scale, rotation and extrusion.
struct CDxfInsert {
    std::string block;  // as written
    std::uint32_t layer = 0;
    CDxfColour colour;
    double point[3] = {};
    double scale[3] = {1, 1, 1};
    double rotation = 0;  // degrees
    double extrusion[3] = {0, 0, 1};
    int columns = 1, rows = 1;
    double columnSpacing = 0, rowSpacing = 0;
};

// Where an entity's faces go: model space, or the block being defined.
class CDxfFaceOut {
public:
    virtual ~CDxfFaceOut() = default;
    virtual void Face(const CDxfRawFace& face) = 0;
    virtual void Insert(const CDxfInsert& insert) = 0;
    virtual CDxfLeftOut& LeftOut() = 0;
};

// A POLYLINE with its VERTEX records.
struct CDxfPolyVertex {
    double p[3] = {};
    double bulge = 0;
    int flags = 0;
    int index[4] = {};
    CDxfColour colour;
    bool ownColour = false;
};
struct CDxfPolyline {
    CDxfEntityRecord header;
    std::vector<CDxfPolyVertex> vertices;
};

// What the entity makes, on the layer and in the colour given: faces of 3DFACE, SOLID,
// TRACE, LINE, LWPOLYLINE, CIRCLE and ARC (DxfFullEntities.cpp).
void DxfEntityFaces(const CDxfEntityRecord& entity, std::uint32_t layer, const CDxfColour& colour, CDxfFaceOut& out);
// Faces of a POLYLINE: polyface mesh, polygon mesh, or 2D outline with thickness (DxfMeshes.cpp).
void DxfPolylineFaces(const CDxfPolyline& polyline, std::uint32_t layer, const CDxfColour& colour, CDxfFaceOut& out);
// Faces of a MESH at subdivision level 0 (DxfMeshes.cpp).
void DxfMeshFaces(const CDxfEntityRecord& mesh, std::uint32_t layer, const CDxfColour& colour, CDxfFaceOut& out);
