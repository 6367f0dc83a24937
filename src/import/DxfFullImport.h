// The full DXF import: the faces of every entity of model space that holds some (3DFACE,
// SOLID, TRACE, LINE with thickness, polyface and polygon meshes, MESH, extruded outlines and
// circles), also inside blocks placed by INSERT, in millimetres by the drawing's units. It is
// read aside into a model of its own and then applied to the document in one step.
#pragma once

#include "import/DxfReader.h"
#include "model/ByteStream.h"
#include "model/Document.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Where a face came from.
enum class EDxfFaceKind : std::uint8_t {
    Face3D,
    Solid,
    Trace,
    Line,
    Polyface,
    PolygonMesh,
    Mesh,
    LwPolyline,
    Polyline2D,
    Circle,
    Arc,
    Count
};
inline constexpr int kDxfFaceKinds = int(EDxfFaceKind::Count);

// "3DFACE", "polyface mesh", "LWPOLYLINE", ...
const char* DxfFaceKindName(EDxfFaceKind kind);

// What a drawing's entities leave out when they are turned into faces. A block counts these
// once when it is defined; each placement of it adds them to the import's statistics.
struct CDxfLeftOut {
    // Entities without thickness, which make no wall: by kind (LINE, LWPOLYLINE, POLYLINE,
    // CIRCLE and ARC only).
    std::uint64_t withoutThickness[kDxfFaceKinds] = {};
    std::uint64_t badExtrusion = 0;        // entities whose extrusion gives no usable axis
    std::uint64_t polyfaceBadIndex = 0;    // polyface faces with a vertex index past the mesh's vertices
    std::uint64_t polyfaceFewCorners = 0;  // polyface face records with fewer than three indices
    std::uint64_t meshBadFaces = 0;        // MESH faces with fewer than three indices, one out of range, or cut short
    std::uint64_t gridsShort = 0;          // polygon meshes with fewer vertices than M x N
    std::uint64_t polylines3D = 0;         // 3D polylines, which are lines only

    void Add(const CDxfLeftOut& other);
    std::uint64_t Total() const;
};

// What one full import found, for the status bar and the command-line summary.
struct CDxfFullStats {
    std::uint64_t facesMade = 0;
    std::uint64_t facesByKind[kDxfFaceKinds] = {};
    std::uint64_t facesThroughInsert = 0;  // of facesMade, those placed by INSERT
    std::uint64_t placements = 0;          // blocks placed, counting each copy of an array and nested ones

    CDxfLeftOut leftOut;
    std::uint64_t degenerate = 0;   // faces of no area
    std::uint64_t outOfRange = 0;   // a corner not a number or beyond +-3.4e38 once scaled
    std::uint64_t offTable = 0;     // faces on layers the full table (99) could not take
    std::uint64_t paperSpace = 0;   // entities of paper space (group 67 = 1), which make nothing

    std::uint64_t missingBlocks = 0;  // INSERTs of a block the file does not define
    std::uint64_t selfInserts = 0;    // INSERTs of a block into itself, directly or through others
    std::uint64_t badArrays = 0;      // INSERTs with a row or column count below 1
    std::uint64_t insertsOverLimit = 0;  // INSERTs left out, as their faces would pass the face limit
    std::uint64_t facesOverLimit = 0;    // faces past the face limit, left out
    std::uint64_t tooDeep = 0;        // INSERTs nested deeper than kDxfMaxNesting

    // Entities of the ENTITIES section that make no face, by name (at most kMaxKinds names;
    // the rest are counted under CDxfImportStats::kOtherKinds).
    std::map<std::string, std::uint64_t> skippedByKind;

    int units = -1;       // $INSUNITS, -1 when the header has none
    double scale = 1.0;   // to millimetres; 1 for no units and unknown ones
    std::string version;  // $ACADVER
    std::string codePage; // $DWGCODEPAGE
    bool binaryDxf = false;
    bool binaryTruncated = false;  // a binary file that ends inside a pair or before its EOF
    bool entitiesFound = false;
    std::uint64_t cutLines = 0;      // values longer than 1 MiB, of which the start was kept
    std::uint64_t badCodeLines = 0;  // code lines that hold no whole number
    std::uint64_t bytesRead = 0;
    std::string readError;  // the source failed, or the faces did not fit in memory (then no faces)
    std::uint64_t faceLimit = 0;  // the limit in force

    static constexpr std::size_t kMaxKinds = 64;
};

// Deeper nesting of INSERTs is reported, not followed.
inline constexpr int kDxfMaxNesting = 1000;
// Arrays and nesting stop before the faces pass this many.
inline constexpr std::uint64_t kDxfMaxFaces = 50'000'000;

// One layer met, as the table is to hold it.
struct CDxfFullLayer {
    std::string name;  // UTF-8
    double rgb[3] = {1, 1, 1};
    bool visible = true;
};

// The result of reading: the faces, the layers their faces are on in the order met (at most
// 99), the box of their corners and what was found. The faces' plan coordinates are held
// less `origin` (DXF X and Y of the first face's first corner) until they are centred: a
// drawing in survey coordinates, millions of millimetres from its origin, keeps the precision
// of its own size in the floats of a face.
struct CDxfFullModel {
    CShapeList shapes;
    std::vector<CDxfFullLayer> layers;
    double origin[2] = {0, 0};
    double boxMin[3] = {1e20, 1e20, 1e20};  // DXF coordinates, millimetres
    double boxMax[3] = {-1e20, -1e20, -1e20};
    CDxfFullStats stats;
};

struct CDxfFullOptions {
    // Called with the bytes read so far, once for every block read.
    std::function<void(std::uint64_t)> progress;
    std::uint64_t sizeHint = 0;  // the size of the source when known
    // Only count the faces: the statistics are made, the faces and layers are not kept.
    bool countOnly = false;
    std::uint64_t faceLimit = kDxfMaxFaces;
    // Text files of 4 MiB and more are read with a worker thread that cuts the pairs and
    // converts their numbers, when a second core is free as the import starts; both ways give
    // the same model.
    EDxfThreading threading = EDxfThreading::Automatic;
};

// Reads a DXF file (text or binary) to its end. The document is not touched.
CDxfFullModel ReadDxfFull(CByteSource& source, const CDxfFullOptions& options = {});

// Replaces the document's faces by the model's, empties the layer table (g_layerCount = 0),
// adds the model's layers in order with AddLayer and gives them their colour and visibility,
// then centres the faces on the plan's box as the default import does. The scratch record
// holds the last face (uncentred); the document is marked modified when there are faces.
// The model's faces are moved out.
void ApplyDxfFull(CDxfFullModel& model, CMyvorla_ltDoc& doc);

// ReadDxfFull, then ApplyDxfFull.
CDxfFullStats ImportDxfFull(CByteSource& source, CMyvorla_ltDoc& doc, const CDxfFullOptions& options = {});

// The faces the full import makes of the source (ReadDxfFull counting only).
std::uint64_t CountDxfFullFaces(CByteSource& source, const std::function<void(std::uint64_t)>& progress = {},
                                std::uint64_t sizeHint = 0);

// Whether the full import may make faces that a default import with these statistics left
// out: faces its first-edge test dropped, entities it skips that can hold faces, or a file
// it cannot read. Only then is counting what the full import makes worth a pass.
bool DxfFullImportMayAddFaces(const CDxfImportStats& stats);

// One line of plain English, e.g. "imported 2048 faces on 3 layers (polyface mesh 2048, 2048
// of them through INSERT); left out: ...".
std::string DxfFullImportSummary(const CDxfFullStats& stats, int layerCount);

// The $INSUNITS name ("millimetres"), or "" for 0 and unknown values.
const char* DxfUnitsName(int units);
// Millimetres per drawing unit of $INSUNITS; 1 for 0 and unknown values.
double DxfUnitsScale(int units);
