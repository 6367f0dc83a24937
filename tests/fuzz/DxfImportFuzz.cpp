// Fuzz target of the DXF readers. Whatever the text: at most 99 layers, each holding a face;
// every corner and normal a finite number; the statistics agree with the faces made; a
// re-export read back gives exactly the faces whose first edge still passes the test; the
// numbers read as the C library reads them and the lines as fgets cuts them. The full import
// holds to the same invariants, gives the same model with and without its worker thread, and
// counts what it makes.
#include "FuzzSupport.h"
#include "../import/DxfReferenceLines.h"

#include "export/DxfWriter.h"
#include "export/NumberText.h"
#include "import/DxfFullImport.h"
#include "import/DxfLineReader.h"
#include "import/DxfReader.h"
#include "import/NumberParse.h"
#include "model/Globals.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool SameDouble(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every line of the text, as a C string, read by the reader's number parsers and by the C
// library in the "C" locale.
void CheckNumbers(std::string_view text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        const std::string z(line);  // strtod and atoi stop at a NUL byte; so do the parsers
        const double want = strtod_l(z.c_str(), nullptr, cLocale);
        FUZZ_CHECK(SameDouble(ParseAtof(line), want));
        // The padded parser may read 8 bytes past the text: digits there must not count.
        const std::string padded = z + "77777777";
        FUZZ_CHECK(SameDouble(ParseAtofPadded(std::string_view(padded).substr(0, line.size())), want));
        FUZZ_CHECK(ParseAtoi(line) == std::atoi(z.c_str()));
        start = end + 1;
    }
}

// fgets with a 256-byte buffer on a text-mode stream: CR LF becomes LF, then lines of at most
// 255 characters including their LF.
using CLine = CReferenceLine;

// The line reader with a small block, so that block ends fall inside lines and CR LF pairs.
void CheckLines(std::string_view bytes)
{
    const std::size_t blockSize = 1 + bytes.size() % 509;
    CMemorySource source(bytes.data(), bytes.size());
    CDxfLineReader reader(source, blockSize);
    std::vector<CLine> lines;
    std::string_view text;
    bool newline = false;
    while (reader.Next(text, newline)) {
        if (text.find('\0') != std::string_view::npos) FUZZ_CHECK(reader.MayHoldNul());
        lines.push_back({std::string(text), newline});
    }
    FUZZ_CHECK(reader.BytesRead() == bytes.size());
    FUZZ_CHECK(lines == ReferenceLines(bytes));
}

bool AllFinite(const float (&values)[4][3])
{
    for (const auto& corner : values)
        for (float v : corner)
            if (!std::isfinite(v)) return false;
    return true;
}

// Whether the face's first edge, written by the DXF writer and read back, is longer than 1.0.
bool FirstEdgeSurvivesExport(const CShape& shape)
{
    double p[2][3];
    for (int k = 0; k < 2; ++k) {
        const float* v = shape.m_vertex[k];
        const double dxf[3] = {double(v[0]), -double(v[2]), double(v[1])};
        for (int a = 0; a < 3; ++a) {
            char text[kMaxFixed6Length + 8];
            char* end = FormatFixed6(text, dxf[a]);
            p[k][a] = ParseAtof(std::string_view(text, static_cast<std::size_t>(end - text)));
        }
    }
    const double dx = p[0][0] - p[1][0], dy = p[0][1] - p[1][1], dz = p[0][2] - p[1][2];
    return std::sqrt(dx * dx + dy * dy + dz * dz) > 1.0;
}

// An array or nesting of a few bytes can ask for millions of faces; a lower limit keeps each
// input fast, and the limit's handling is the same at any size.
constexpr std::uint64_t kFuzzFaceLimit = 100000;

CDxfFullModel ReadFull(std::string_view bytes, EDxfThreading threading)
{
    CMemorySource source(bytes.data(), bytes.size());
    CDxfFullOptions options;
    options.sizeHint = bytes.size();
    options.faceLimit = kFuzzFaceLimit;
    options.threading = threading;
    return ReadDxfFull(source, options);
}

void CheckFullImport(std::string_view bytes)
{
    CDxfFullModel model = ReadFull(bytes, EDxfThreading::CallerOnly);
    const CDxfFullStats& stats = model.stats;
    FUZZ_CHECK(stats.readError.empty());
    FUZZ_CHECK(stats.bytesRead == bytes.size());
    FUZZ_CHECK(stats.facesMade == model.shapes.size());
    FUZZ_CHECK(stats.facesMade <= kFuzzFaceLimit);
    std::uint64_t byKind = 0;
    for (std::uint64_t n : stats.facesByKind) byKind += n;
    FUZZ_CHECK(byKind == stats.facesMade);
    FUZZ_CHECK(stats.facesThroughInsert <= stats.facesMade);
    FUZZ_CHECK(model.layers.size() <= std::size_t(kAddLayerLimit));
    FUZZ_CHECK(stats.skippedByKind.size() <= CDxfFullStats::kMaxKinds + 1);

    // The layer list: distinct names, each carried by a face; a face off the list is counted,
    // and only a full list leaves one out.
    std::set<std::string> names;
    for (const CDxfFullLayer& layer : model.layers) names.insert(layer.name);
    FUZZ_CHECK(names.size() == model.layers.size());
    std::set<std::string> used;
    std::uint64_t offList = 0;
    for (const CShape& shape : model.shapes) {
        FUZZ_CHECK(shape.m_kind == CShape::kFace);
        FUZZ_CHECK(shape.m_layer.find('\0') == std::string::npos);
        FUZZ_CHECK(AllFinite(shape.m_vertex));
        FUZZ_CHECK(AllFinite(shape.m_normal));
        const float* n = shape.m_normal[0];
        const double length = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
        FUZZ_CHECK(length == 0.0 || std::fabs(length - 1.0) < 1e-5);
        for (float c : shape.m_color) FUZZ_CHECK(c >= 0.0f && c <= 1.0f);
        if (names.count(shape.m_layer)) {
            used.insert(shape.m_layer);
        } else {
            ++offList;
        }
    }
    FUZZ_CHECK(used.size() == names.size());
    FUZZ_CHECK(offList == stats.offTable);
    if (offList > 0) FUZZ_CHECK(model.layers.size() == std::size_t(kAddLayerLimit));

    // The worker thread gives the same model; counting alone gives the same count.
    const CDxfFullModel threaded = ReadFull(bytes, EDxfThreading::Worker);
    FUZZ_CHECK(threaded.shapes == model.shapes);
    FUZZ_CHECK(threaded.layers.size() == model.layers.size());
    FUZZ_CHECK(DxfFullImportSummary(threaded.stats, 0) == DxfFullImportSummary(stats, 0));
    {
        CMemorySource source(bytes.data(), bytes.size());
        CDxfFullOptions options;
        options.faceLimit = kFuzzFaceLimit;
        options.countOnly = true;
        const CDxfFullModel counted = ReadDxfFull(source, options);
        FUZZ_CHECK(counted.stats.facesMade == stats.facesMade);
        FUZZ_CHECK(counted.shapes.empty());
    }

    // Applied: the table holds the list's layers with their visibility, the faces stay finite
    // once centred.
    ResetGlobals();
    InitViewDefaults();
    CMyvorla_ltDoc doc;
    const std::vector<CDxfFullLayer> layers = model.layers;
    ApplyDxfFull(model, doc);
    FUZZ_CHECK(doc.m_shapeList.size() == stats.facesMade);
    FUZZ_CHECK(doc.IsModified() == !doc.m_shapeList.empty());
    FUZZ_CHECK(g_layerCount == int(layers.size()));
    for (int i = 0; i < g_layerCount; ++i) {
        FUZZ_CHECK(g_layerName[i] == layers[std::size_t(i)].name);
        FUZZ_CHECK((g_layerAttr[i][kVisible] != 0.0) == layers[std::size_t(i)].visible);
    }
    for (const CShape& shape : doc.m_shapeList) FUZZ_CHECK(AllFinite(shape.m_vertex));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckNumbers(bytes);
    CheckLines(bytes);

    ResetGlobals();
    InitViewDefaults();
    CMyvorla_ltDoc doc;
    doc.m_curShape.m_layer = "old";
    doc.AddShape();  // the import replaces it
    doc.SetModifiedFlag(false);
    CMemorySource source(data, size);
    const CDxfImportStats stats = ImportDxf(source, doc, {}, size);

    FUZZ_CHECK(stats.readError.empty());
    FUZZ_CHECK(stats.bytesRead == size);
    FUZZ_CHECK(stats.facesImported == doc.m_shapeList.size());
    FUZZ_CHECK(doc.IsModified() == !doc.m_shapeList.empty());
    FUZZ_CHECK(g_layerCount >= 0 && g_layerCount <= kAddLayerLimit);
    FUZZ_CHECK(stats.skippedByKind.size() <= CDxfImportStats::kMaxKinds + 1);

    // Layers come only from faces: distinct names, each carried by a face; a face whose layer
    // is not in the table is counted, and only a full table leaves one out.
    std::set<std::string> names(g_layerName, g_layerName + g_layerCount);
    FUZZ_CHECK(names.size() == static_cast<std::size_t>(g_layerCount));
    std::set<std::string> used;
    std::uint64_t offTable = 0;
    for (const CShape& shape : doc.m_shapeList) {
        FUZZ_CHECK(shape.m_kind == CShape::kFace);
        FUZZ_CHECK(shape.m_selected == 0);
        FUZZ_CHECK(shape.m_layer.size() < CDxfLineReader::kMaxLine);
        FUZZ_CHECK(shape.m_layer.find('\n') == std::string::npos);
        FUZZ_CHECK(shape.m_layer.find('\0') == std::string::npos);
        FUZZ_CHECK(AllFinite(shape.m_vertex));
        FUZZ_CHECK(AllFinite(shape.m_normal));
        const float* n = shape.m_normal[0];
        const double length = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
        FUZZ_CHECK(length == 0.0 || std::fabs(length - 1.0) < 1e-5);
        if (names.count(shape.m_layer)) {
            used.insert(shape.m_layer);
        } else {
            ++offTable;
        }
    }
    FUZZ_CHECK(used.size() == names.size());
    FUZZ_CHECK(offTable == stats.facesOffTable);
    if (offTable > 0) FUZZ_CHECK(g_layerCount == kAddLayerLimit);

    // The worker thread, which cuts and converts ahead of the entity machine, gives the same
    // model as the caller's thread alone: the same faces, layers and statistics.
    {
        const std::vector<std::string> layers(g_layerName, g_layerName + g_layerCount);
        const CShape lastFace = doc.m_curShape;
        ResetGlobals();
        InitViewDefaults();
        CMyvorla_ltDoc threaded;
        threaded.m_curShape.m_layer = "old";
        threaded.AddShape();
        threaded.SetModifiedFlag(false);
        CMemorySource again(data, size);
        const CDxfImportStats workerStats = ImportDxf(again, threaded, {}, size, EDxfThreading::Worker);
        FUZZ_CHECK(threaded.m_shapeList == doc.m_shapeList);
        FUZZ_CHECK(threaded.m_curShape == lastFace);
        FUZZ_CHECK(std::vector<std::string>(g_layerName, g_layerName + g_layerCount) == layers);
        FUZZ_CHECK(workerStats.facesDroppedFirstEdge == stats.facesDroppedFirstEdge);
        FUZZ_CHECK(workerStats.facesOutOfRange == stats.facesOutOfRange);
        FUZZ_CHECK(workerStats.solidsDropped == stats.solidsDropped);
        FUZZ_CHECK(workerStats.linesWithoutThickness == stats.linesWithoutThickness);
        FUZZ_CHECK(workerStats.skippedByKind == stats.skippedByKind);
        FUZZ_CHECK(workerStats.longLines == stats.longLines);
        FUZZ_CHECK(workerStats.wideCodeLines == stats.wideCodeLines);
        FUZZ_CHECK(workerStats.binaryDxf == stats.binaryDxf);
        FUZZ_CHECK(workerStats.entitiesFound == stats.entitiesFound);
        FUZZ_CHECK(workerStats.bytesRead == stats.bytesRead);
    }

    // Written as DXF and read back: every face again, but for those whose first edge the
    // six-decimal text brings down to 1.0 or less.
    std::uint64_t survive = 0;
    for (const CShape& shape : doc.m_shapeList) survive += FirstEdgeSurvivesExport(shape) ? 1 : 0;
    CStringSink sink;
    FUZZ_CHECK(WriteDxf(sink, doc.m_shapeList));
    ResetGlobals();
    CMyvorla_ltDoc reread;
    CMemorySource exported(sink.m_bytes);
    const CDxfImportStats again = ImportDxf(exported, reread, {}, sink.m_bytes.size());
    FUZZ_CHECK(again.longLines == 0);
    FUZZ_CHECK(again.facesImported == survive);
    FUZZ_CHECK(again.facesImported + again.facesDroppedFirstEdge == stats.facesImported);

    CheckFullImport(bytes);
    return 0;
}
