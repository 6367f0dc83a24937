// The .vrl model file: version string, scene settings, layer table and faces in one
// little-endian binary stream, framed like an archive of "CShape" objects.
#pragma once

#include "model/ByteStream.h"
#include "model/Document.h"
#include "model/FileProblem.h"
#include "model/LayerTable.h"

#include <cstdint>
#include <string>
#include <vector>

// The version string every model file starts with (20 characters, five trailing blanks).
inline constexpr char g_fileVersion[] = "Vorla_III V0.07     ";

struct CLayerEntry {
    std::string name;
    double attr[kLayerAttrCount] = {};
    std::string texture;
};

// Everything a model file holds, as far as it could be read.
struct CModelFileContent {
    std::string version;
    bool versionMatched = false;
    bool settingsRead = false;
    std::string sky, ground;
    double north = 0, season = 0, latitude = 0, hour = 0;
    bool layerCountRead = false;
    int32_t layerCount = 0;
    std::vector<CLayerEntry> layers;  // entries read completely, in file order
    CShapeList shapes;
    CFileProblem problem;  // why the reading stopped early, if it did
};

struct CModelReadOptions {
    // Opening a model stops after a version string that differs; insertion reads on.
    bool stopOnVersionMismatch = true;
    // Bytes the source holds, when known; bounds what is reserved for a claimed shape count.
    std::uint64_t sizeHint = 0;
};

// Reads a whole model file. Returns an empty string on success (also when reading stopped
// at a mismatching version), otherwise what is wrong and where; `content` then holds what
// was read before the fault.
std::string ReadModelFile(CByteSource& source, CModelFileContent& content, const CModelReadOptions& options);

struct CLoadResult {
    bool ok = false;
    bool versionMatched = false;
    std::string error;  // what is wrong, when !ok
    CFileProblem problem;
};

// Opens a model into the document: the faces are replaced; with a matching version the scene
// settings and layers are taken from the file. A mismatching version gives an empty model
// and leaves the tables alone. On a fault the document starts afresh (no faces, unmodified)
// and what was read of the settings and layers before the fault stays in the tables.
CLoadResult LoadModel(CByteSource& source, CMyvorla_ltDoc& doc, std::uint64_t sizeHint = 0);

// The second half of LoadModel, for a file read aside (ReadModelFile touches neither the
// document nor the tables): puts `content`, as far as it was read, into them.
CLoadResult ApplyModelFile(CModelFileContent&& content, CMyvorla_ltDoc& doc);

// The most faces a model file holds: its face count is a signed 32-bit integer.
inline constexpr std::uint64_t kMaxModelFileFaces = 0x7FFFFFFF;

// Why a model of `faceCount` faces cannot be saved, or an empty string (no problem) when it can.
std::string ModelFileLimitError(std::uint64_t faceCount);
CFileProblem ModelFileLimitProblem(std::uint64_t faceCount);

// Writes the scene settings, the layer table and the faces. Returns false if the sink failed.
// A model the file cannot hold (more than kMaxModelFileFaces faces, a text of 4 GiB or more)
// is refused: nothing is written for more faces, the sink fails with the reason.
bool WriteModelFile(CByteSink& sink, const CShapeList& shapes);
