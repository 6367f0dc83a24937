// DXF import: the faces of the LINE (with thickness), SOLID and 3DFACE entities of a DXF
// text file become the document's model, centred on the origin in plan.
#pragma once

#include "model/ByteStream.h"
#include "model/Document.h"
#include "model/FileProblem.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// What one import found, for the status bar and the command-line summary.
struct CDxfImportStats {
    std::uint64_t facesImported = 0;
    std::uint64_t facesDroppedFirstEdge = 0;  // first edge 1.0 or shorter (all three kinds)
    std::uint64_t linesWithoutThickness = 0;
    std::uint64_t solidsDropped = 0;          // no usable extrusion axis, or |D| < 1e-10
    // A corner that is not a finite number within the range of a 32-bit float (+-3.4e38):
    // "inf", "nan", "1e39", or a finite thickness, extrusion or SOLID transform that overflows.
    std::uint64_t facesOutOfRange = 0;
    std::uint64_t facesOffTable = 0;          // on layers the full table (99) could not take
    // Entities of the ENTITIES section that make no face, by name (at most kMaxKinds names;
    // the rest are counted under kOtherKinds).
    std::map<std::string, std::uint64_t> skippedByKind;
    // Lines longer than 255 characters: each is read as two or more lines, which shifts the
    // pairing of codes and values from there on.
    std::uint64_t longLines = 0;
    // Code lines with digits past their third character ("   2", "1001"), which are read
    // from their first three characters only.
    std::uint64_t wideCodeLines = 0;
    bool entitiesFound = false;
    bool binaryDxf = false;  // the file starts with the binary DXF sentinel
    std::uint64_t bytesRead = 0;
    // Non-empty when reading stopped early: the source failed, or the faces did not fit in
    // memory (the model is then left empty and unmodified, with no layers).
    std::string readError;

    static constexpr std::size_t kMaxKinds = 64;
    static constexpr const char* kOtherKinds = "(other)";
};

// Who reads the text: the caller's thread alone, or a worker thread that cuts it into pairs
// and converts their numbers while the caller's thread makes the faces. Both give the same
// model and statistics; Automatic takes the worker for sources of 4 MiB or more (by the size
// hint) when a second core is free as the import starts.
enum class EDxfThreading { Automatic, CallerOnly, Worker };

// Replaces the model by the faces of a DXF text: resets the working record, removes every
// face, empties the layer table (g_layerCount = 0), reads the source to its end, adds one face
// per producing entity with AddLayer for its layer, and centres the faces on the plan's box.
// The document is marked modified when a first face is added, and its scratch record holds
// the last face added (uncentred), as AddShape leaves them; its name is the caller's business.
// `progress` is called on the caller's thread, with the bytes read so far, once for every
// block read. `sizeHint`, the size of the source when known, lets the face list grow in one
// step to the size that the faces made so far project, instead of doubling; it never
// reserves for faces not yet seen in the part of the file read.
CDxfImportStats ImportDxf(CByteSource& source, CMyvorla_ltDoc& doc,
                          const std::function<void(std::uint64_t bytesRead)>& progress = {},
                          std::uint64_t sizeHint = 0, EDxfThreading threading = EDxfThreading::Automatic);

// The import in two steps. ReadDxfAside reads the source into a model of its own and touches
// neither a document nor the layer table, so it may run on another thread while the model is
// drawn; ApplyDxfImport then puts that model in place in one step. ImportDxf is the two in a row.
struct CDxfImportAside {
    CShapeList shapes;                // centred
    std::vector<std::string> layers;  // the names AddLayer is to add, in order (at most 99)
    CShape lastFace;                  // the scratch record as the import leaves it (uncentred)
    bool hasLastFace = false;
    bool memoryFailed = false;        // the faces did not fit in memory (stats.readError says so)
    CFileProblem memoryProblem;       // and how many came before
    CDxfImportStats stats;
};
CDxfImportAside ReadDxfAside(CByteSource& source, const std::function<void(std::uint64_t bytesRead)>& progress = {},
                             std::uint64_t sizeHint = 0, EDxfThreading threading = EDxfThreading::Automatic);
// Replaces the document's faces by the aside model's, empties the layer table and adds its
// names with AddLayer, marks the document modified when faces came (unmodified after a memory
// failure, which leaves no faces and no layers) and leaves the scratch record as ImportDxf does.
void ApplyDxfImport(CDxfImportAside&& aside, CMyvorla_ltDoc& doc);

// One line of plain English, e.g. "imported 572 faces on 3 layers; skipped POLYLINE 4, INSERT 1".
std::string DxfImportSummary(const CDxfImportStats& stats, int layerCount);
