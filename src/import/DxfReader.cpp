// DXF import: pairs of group-code and value lines, the ENTITIES gate, the entity machine and
// the corner rules of LINE, SOLID and 3DFACE.
//
// Geometry is computed in DXF coordinates (Z up) as doubles and stored as floats in the
// display frame: a DXF point or vector (X, Y, Z) becomes (X, Z, -Y).
#include "import/DxfReader.h"

#include "import/DxfLineReader.h"
#include "import/NumberParse.h"
#include "model/LayerTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace {

enum class EEntity { None, Skipped, Line, Solid, Face };

void Cross(const double a[3], const double b[3], double out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// The cross product divided by its length. A zero product (a face of no area) stays the zero
// vector; so does one whose length overflowed or is not a number, so no NaN reaches a normal
// that the text did not already hold.
void UnitNormal(const double cross[3], double out[3])
{
    const double length = std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2]);
    const bool usable = length > 0.0 && std::isfinite(length);
    for (int a = 0; a < 3; ++a) out[a] = usable ? cross[a] / length : 0.0;
}

// Face colour of a DXF colour number; 4 gives the same green as 3, everything past 7 cyan.
void ColorOf(int number, float rgb[3])
{
    static const float kTable[8][3] = {{1, 1, 1}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                       {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}};
    static const float kOther[3] = {0, 1, 1};
    const float* c = (number >= 0 && number < 8) ? kTable[number] : kOther;
    std::copy_n(c, 3, rgb);
}

// The C string of a line (up to a NUL byte) without its last character, which is the line
// feed of a whole line and a real character of a split or unterminated one.
std::string_view ValueOf(std::string_view text, bool newline, bool mayHoldNul)
{
    if (const void* nul = mayHoldNul ? std::memchr(text.data(), '\0', text.size()) : nullptr) {
        text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
        newline = false;
    }
    if (newline || text.empty()) return text;
    return text.substr(0, text.size() - 1);
}

// The group code is the integer value of the first three characters of the code line only.
// Codes written the usual ways ("  0", " 10", "210", "8", "62") are read here directly, this
// being the most frequent line of a file; anything else goes to ParseAtoi.
int GroupCode(std::string_view text)
{
    if (text.size() == 3) {
        const unsigned a = static_cast<unsigned char>(text[0]) - '0';
        const unsigned b = static_cast<unsigned char>(text[1]) - '0';
        const unsigned c = static_cast<unsigned char>(text[2]) - '0';
        const bool blankA = text[0] == ' ', blankB = text[1] == ' ';
        if (c < 10 && (a < 10 || blankA) && (b < 10 || (blankA && blankB)))
            return int((blankA ? 0 : a) * 100 + (blankB ? 0 : b) * 10 + c);
    } else if (text.size() == 2) {
        const unsigned a = static_cast<unsigned char>(text[0]) - '0';
        const unsigned b = static_cast<unsigned char>(text[1]) - '0';
        if (a < 10 && b < 10) return int(a * 10 + b);
    } else if (text.size() == 1) {
        const unsigned a = static_cast<unsigned char>(text[0]) - '0';
        if (a < 10) return int(a);
    }
    return ParseAtoi(text.substr(0, 3));
}

bool HasDigitPastThird(std::string_view text)
{
    return text.size() > 3 && text.find_first_of("0123456789", 3) != std::string_view::npos;
}

// The working record of one import and the entity machine that fills it.
class CDxfImport {
public:
    CDxfImport(CMyvorla_ltDoc& doc, CDxfImportStats& stats, const CDxfLineReader& reader, std::uint64_t sizeHint)
        : m_doc(doc), m_stats(stats), m_reader(reader), m_sizeHint(sizeHint)
    {
    }

    void Pair(int code, std::string_view value)
    {
        if (!m_inEntities) {
            if (code == 2 && value == "ENTITIES") m_inEntities = m_stats.entitiesFound = true;
            return;
        }
        if (code == 0 || code == -1) {
            if (m_entity != EEntity::None && m_entity != EEntity::Skipped) Complete();
            Begin(value);
            return;
        }
        if (m_entity != EEntity::None && m_entity != EEntity::Skipped) Store(code, value);
    }

    // Moves every face so that the box of the corners placed is centred on the origin in plan.
    // Also gives back what a projection far above the count reached had reserved.
    void Centre()
    {
        CShapeList& list = m_doc.m_shapeList;
        if (m_projected && list.capacity() > list.size() + list.size() / 2 + 64) list.shrink_to_fit();
        if (m_stats.facesImported == 0) return;
        const double cx = (m_boxMin[0] + m_boxMax[0]) / 2;
        const double cy = (m_boxMin[1] + m_boxMax[1]) / 2;
        for (CShape& shape : m_doc.m_shapeList)
            for (auto& corner : shape.m_vertex) {
                corner[0] = static_cast<float>(corner[0] - cx);
                corner[2] = static_cast<float>(corner[2] + cy);
            }
    }

private:
    void Begin(std::string_view name)
    {
        m_color = 0;
        if (Is(name, "3DFACE")) {
            m_entity = EEntity::Face;
        } else if (Is(name, "LINE")) {
            m_entity = EEntity::Line;
        } else if (Is(name, "SOLID")) {
            m_entity = EEntity::Solid;
        } else {
            m_entity = EEntity::Skipped;
            CountSkipped(name);
        }
    }

    // Whole-value, byte-for-byte name test for names of at most 8 characters, done on one
    // 64-bit word (a library memcmp call per entity is measurable on big files).
    template <std::size_t N> static bool Is(std::string_view value, const char (&name)[N])
    {
        static_assert(N - 1 <= 8);
        if (value.size() != N - 1) return false;
        std::uint64_t a = 0, b = 0;
        std::memcpy(&a, value.data(), N - 1);
        std::memcpy(&b, name, N - 1);
        return a == b;
    }

    // Only names inside the ENTITIES section are entities; what follows its ENDSEC (further
    // sections, EOF) is read past the same way but not counted as skipped entities.
    void CountSkipped(std::string_view name)
    {
        if (!m_sectionOpen) return;
        if (name == "ENDSEC") {
            m_sectionOpen = false;
            return;
        }
        auto& kinds = m_stats.skippedByKind;
        auto it = kinds.find(std::string(name));
        if (it == kinds.end()) {
            it = kinds.size() < CDxfImportStats::kMaxKinds ? kinds.emplace(name, 0).first
                                                           : kinds.try_emplace(CDxfImportStats::kOtherKinds, 0).first;
        }
        ++it->second;
    }

    // `value` points into the line reader's buffer, which is readable past every line.
    void Store(int code, std::string_view value)
    {
        const bool line = m_entity == EEntity::Line;
        switch (code) {
        case 8: m_layer.assign(value); break;
        case 62: m_color = ParseAtoi(value); break;
        case 10: case 20: case 30: case 11: case 21: case 31:
            m_point[code % 10][code / 10 - 1] = ParseAtofPadded(value);
            break;
        case 12: case 22: case 32: case 13: case 23: case 33:
            if (!line) m_point[code % 10][code / 10 - 1] = ParseAtofPadded(value);
            break;
        case 39:
            if (line) m_thickness = ParseAtofPadded(value);
            break;
        case 210: case 220: case 230:
            if (m_entity != EEntity::Face) m_extrusion[(code - 210) / 10] = ParseAtofPadded(value);
            break;
        default: break;
        }
    }

    void Complete()
    {
        const double* p1 = m_point[0];
        const double* p2 = m_point[1];
        const double dx = p1[0] - p2[0], dy = p1[1] - p2[1], dz = p1[2] - p2[2];
        const double firstEdge = std::sqrt(dx * dx + dy * dy + dz * dz);
        // "Not greater than 1.0" also drops an edge whose length is not a number.
        if (!(firstEdge > 1.0)) {
            ++m_stats.facesDroppedFirstEdge;
        } else if (m_entity == EEntity::Line) {
            CompleteLine();
        } else if (m_entity == EEntity::Solid) {
            CompleteSolid();
        } else {
            CompleteFace();
        }
        if (m_entity == EEntity::Line) m_thickness = 0.0;
        m_extrusion[0] = 0.0;
        m_extrusion[1] = 0.0;
        m_extrusion[2] = 1.0;
        m_entity = EEntity::None;
    }

    void CompleteLine()
    {
        const double t = m_thickness;
        if (t == 0.0) {
            ++m_stats.linesWithoutThickness;
            return;
        }
        // N is taken as read, not normalised; a zero N extrudes along +Z.
        const double* n = m_extrusion;
        double offset[3] = {t * n[0], t * n[1], t * n[2]};
        if (n[0] == 0.0 && n[1] == 0.0 && n[2] == 0.0) offset[0] = 0.0, offset[1] = 0.0, offset[2] = t;
        double c[4][3];
        for (int a = 0; a < 3; ++a) {
            c[0][a] = m_point[0][a];
            c[1][a] = m_point[1][a];
            c[2][a] = m_point[1][a] + offset[a];
            c[3][a] = m_point[0][a] + offset[a];
        }
        double e1[3], e2[3], cross[3], normal[3];
        for (int a = 0; a < 3; ++a) e1[a] = c[1][a] - c[0][a], e2[a] = c[2][a] - c[0][a];
        Cross(e1, e2, cross);
        UnitNormal(cross, normal);
        Emit(c, normal);
    }

    // The corners are in the entity's own frame, whose Z axis is N; the arbitrary-axis rule
    // carries them into world coordinates.
    void CompleteSolid()
    {
        const double* n = m_extrusion;
        constexpr double kNearPole = 1.0 / 64;
        double a[3];
        if (std::fabs(n[0]) < kNearPole && std::fabs(n[1]) < kNearPole) {
            a[0] = n[2], a[1] = 0.0, a[2] = -n[0];  // (0, 1, 0) x N
        } else {
            a[0] = -n[1], a[1] = n[0], a[2] = 0.0;  // (0, 0, 1) x N
        }
        // A has no length for N = 0 and also for a short N near the pole, e.g. (0, 0.01, 0).
        const double lengthA = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
        if (!(lengthA > 0.0)) {
            ++m_stats.solidsDropped;
            return;
        }
        for (double& v : a) v /= lengthA;
        double b[3], bn[3];
        Cross(n, a, b);
        Cross(b, n, bn);
        const double d = a[0] * bn[0] + a[1] * bn[1] + a[2] * bn[2];
        if (!(std::fabs(d) >= 1e-10)) {
            ++m_stats.solidsDropped;
            return;
        }
        // The third and fourth points of a SOLID are exchanged to go round the face.
        static const int kOrder[4] = {0, 1, 3, 2};
        double c[4][3];
        for (int k = 0; k < 4; ++k) {
            const double* p = m_point[kOrder[k]];
            for (int i = 0; i < 3; ++i) c[k][i] = (p[0] * a[i] + p[1] * b[i] + p[2] * n[i]) / d;
        }
        EmitWithCornerNormal(c);
    }

    void CompleteFace()
    {
        double c[4][3];
        std::memcpy(c, m_point, sizeof c);
        EmitWithCornerNormal(c);
    }

    // SOLID and 3DFACE: the normal is (C1 - C2) x (C2 - C3), normalised.
    void EmitWithCornerNormal(const double c[4][3])
    {
        double e1[3], e2[3], cross[3], normal[3];
        for (int a = 0; a < 3; ++a) e1[a] = c[0][a] - c[1][a], e2[a] = c[1][a] - c[2][a];
        Cross(e1, e2, cross);
        UnitNormal(cross, normal);
        Emit(c, normal);
    }

    void Emit(const double c[4][3], const double normal[3])
    {
        // A corner beyond the range of a float would be stored as an infinity, and one that
        // is not a number stays one: such a face is dropped, so that no face of the model and
        // no centring shift (taken from the box) holds a non-finite coordinate.
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a)
                if (!(std::fabs(c[k][a]) <= double(std::numeric_limits<float>::max()))) {
                    ++m_stats.facesOutOfRange;
                    return;
                }
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a) {
                if (c[k][a] < m_boxMin[a]) m_boxMin[a] = c[k][a];
                if (c[k][a] > m_boxMax[a]) m_boxMax[a] = c[k][a];
            }
        CShape& cur = m_doc.m_curShape;
        cur.m_kind = CShape::kFace;
        for (int k = 0; k < 4; ++k) {
            cur.m_vertex[k][0] = static_cast<float>(c[k][0]);
            cur.m_vertex[k][1] = static_cast<float>(c[k][2]);
            cur.m_vertex[k][2] = static_cast<float>(-c[k][1]);
            cur.m_normal[k][0] = static_cast<float>(normal[0]);
            cur.m_normal[k][1] = static_cast<float>(normal[2]);
            cur.m_normal[k][2] = static_cast<float>(-normal[1]);
        }
        cur.m_selected = 0;
        cur.m_layer.assign(m_layer);  // SetCurLayer, reusing the scratch record's storage
        AddLayerCached();
        ColorOf(m_color, cur.m_color);
        if (m_doc.m_shapeList.size() == m_doc.m_shapeList.capacity()) Grow();
        m_doc.AddShape();
        ++m_stats.facesImported;
    }

    // A doubling vector touches twice the memory it ends with and moves every face several
    // times. With the source's size known, the faces per byte read so far project the final
    // count, and one step of growth goes there.
    void Grow()
    {
        CShapeList& list = m_doc.m_shapeList;
        std::size_t want = std::max<std::size_t>(64, list.size() * 2);
        const std::uint64_t consumed = m_reader.BytesConsumed();
        if (m_sizeHint > consumed && consumed >= (1u << 20)) {
            const double projected = double(list.size()) * (double(m_sizeHint) / double(consumed)) * 1.05 + 64;
            const double ceiling = double(m_sizeHint / 8 + 64);  // no face takes fewer than 8 bytes
            want = std::max(want, static_cast<std::size_t>(std::min(projected, ceiling)));
            m_projected = true;
        }
        try {
            list.reserve(want);
        } catch (const std::bad_alloc&) {
            // The projection may not fit where the faces themselves still do.
            list.reserve(std::max<std::size_t>(64, list.size() * 2));
        }
    }

    // AddLayer for a name it has had before changes nothing during one import: the name is in
    // the table, or the table was full and stays full. Such names skip the scan of the table.
    // The names remembered are bounded, so a file of a million layer names costs no more memory
    // than its faces do; names past the bound take the scan.
    void AddLayerCached()
    {
        static constexpr std::size_t kNamesRemembered = 4096;
        if (!m_lastLayerValid || m_layer != m_lastLayer) {
            const auto it = m_layersSeen.find(m_layer);
            if (it != m_layersSeen.end()) {
                m_lastLayerInTable = it->second;
            } else {
                AddLayer(m_layer);
                m_lastLayerInTable = FindLayer(m_layer) < g_layerCount;
                if (m_layersSeen.size() < kNamesRemembered) m_layersSeen.emplace(m_layer, m_lastLayerInTable);
            }
            m_lastLayer = m_layer;
            m_lastLayerValid = true;
        }
        if (!m_lastLayerInTable) ++m_stats.facesOffTable;
    }

    CMyvorla_ltDoc& m_doc;
    CDxfImportStats& m_stats;
    const CDxfLineReader& m_reader;
    const std::uint64_t m_sizeHint;
    bool m_projected = false;

    bool m_inEntities = false;
    bool m_sectionOpen = true;  // for the statistics only: before the ENDSEC of ENTITIES
    EEntity m_entity = EEntity::None;
    // Layer name and points carry over from one entity to the next; before the file gives
    // them they are empty and zero.
    std::string m_layer;
    int m_color = 0;
    double m_point[4][3] = {};
    double m_thickness = 0.0;
    double m_extrusion[3] = {0.0, 0.0, 1.0};
    double m_boxMin[3] = {1e20, 1e20, 1e20};
    double m_boxMax[3] = {-1e20, -1e20, -1e20};

    std::unordered_map<std::string, bool> m_layersSeen;  // name -> in the table
    std::string m_lastLayer;
    bool m_lastLayerValid = false;
    bool m_lastLayerInTable = false;
};

constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";

}  // namespace

CDxfImportStats ImportDxf(CByteSource& source, CMyvorla_ltDoc& doc,
                          const std::function<void(std::uint64_t bytesRead)>& progress, std::uint64_t sizeHint)
{
    CDxfImportStats stats;
    CShapeList().swap(doc.m_shapeList);  // give the old model's memory back before reading
    g_layerCount = 0;

    // A file smaller than the usual 1 MiB block is read in one block just larger than itself.
    constexpr std::size_t kBlock = 1 << 20;
    const std::size_t block = sizeHint > 0 && sizeHint < kBlock
                                  ? std::max<std::size_t>(4096, static_cast<std::size_t>(sizeHint) + 1)
                                  : kBlock;
    CDxfLineReader reader(source, block);
    CDxfImport import(doc, stats, reader, sizeHint);
    reader.m_progress = progress;
    std::string_view text;
    bool newline = false;
    bool first = true;
    std::string memoryError;
    try {
        while (reader.Next(text, newline)) {
            if (first) {
                stats.binaryDxf = text.substr(0, kBinarySentinel.size()) == kBinarySentinel;
                first = false;
            }
            const int code = GroupCode(text);
            if (HasDigitPastThird(text)) ++stats.wideCodeLines;
            if (!reader.Next(text, newline)) break;
            import.Pair(code, ValueOf(text, newline, reader.MayHoldNul()));
        }
        import.Centre();
    } catch (const std::bad_alloc&) {
        memoryError = "not enough memory for more than " + std::to_string(stats.facesImported) + " faces";
    } catch (const std::length_error&) {
        memoryError = "too many faces for one model (more than " + std::to_string(stats.facesImported) + ")";
    }
    stats.bytesRead = reader.BytesRead();
    stats.longLines = reader.SplitLines();
    stats.readError = reader.Error();
    if (!memoryError.empty()) {
        // All memory is given back and the model left empty, as after a file without faces;
        // a part of a model would look complete.
        CShapeList().swap(doc.m_shapeList);
        doc.SetModifiedFlag(false);
        g_layerCount = 0;
        stats.facesImported = 0;
        stats.facesOffTable = 0;
        stats.readError = std::move(memoryError);
    }
    return stats;
}

namespace {

// An entity name as a short printable text: the names come from the file and may be anything.
std::string Printable(std::string_view name)
{
    constexpr std::size_t kLongest = 32;
    std::string out;
    for (unsigned char c : name.substr(0, kLongest)) out += (c < 0x20 || c == 0x7F) ? '?' : char(c);
    if (name.size() > kLongest) out += "...";
    return out;
}

std::string Count(std::uint64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string DxfImportSummary(const CDxfImportStats& stats, int layerCount)
{
    std::string text;
    if (stats.facesImported == 0) {
        text = "no faces imported";
        if (stats.binaryDxf) return text + ": this is a binary DXF file; only DXF text files are read";
        if (!stats.entitiesFound && stats.wideCodeLines > 0)
            return text + ": no ENTITIES section was found; " + Count(stats.wideCodeLines, "group code", "group codes") +
                   " had digits past the third character, and only the first three are read";
        if (!stats.entitiesFound) return text + ": the file has no ENTITIES section";
        const std::uint64_t candidates = stats.facesDroppedFirstEdge + stats.linesWithoutThickness +
                                         stats.solidsDropped + stats.facesOutOfRange;
        if (candidates == 0) text += " (only LINE with a thickness, SOLID and 3DFACE make faces)";
    } else {
        text = "imported " + Count(stats.facesImported, "face", "faces") + " on " +
               Count(static_cast<std::uint64_t>(layerCount), "layer", "layers");
    }
    if (stats.facesDroppedFirstEdge > 0)
        text += "; dropped " + Count(stats.facesDroppedFirstEdge, "face", "faces") +
                " whose first edge is 1.0 or shorter" +
                (stats.facesDroppedFirstEdge > stats.facesImported ? " (drawings in metres lose most faces this way)" : "");
    if (stats.linesWithoutThickness > 0)
        text += "; dropped " + Count(stats.linesWithoutThickness, "LINE", "LINEs") + " without thickness";
    if (stats.solidsDropped > 0)
        text += "; dropped " + Count(stats.solidsDropped, "SOLID", "SOLIDs") + " with an unusable extrusion";
    if (stats.facesOutOfRange > 0)
        text += "; dropped " + Count(stats.facesOutOfRange, "face", "faces") +
                " with a coordinate that is not a number or lies beyond +-3.4e38";
    if (stats.facesOffTable > 0)
        text += "; " + Count(stats.facesOffTable, "face is", "faces are") +
                " on layers past the 99th, which the layer table cannot hold";
    if (stats.longLines > 0)
        text += "; " + Count(stats.longLines, "line is", "lines are") +
                " longer than 255 characters, which shifts the pairing of codes and values after " +
                (stats.longLines == 1 ? "it" : "each");
    if (!stats.skippedByKind.empty()) {
        std::vector<std::pair<std::string, std::uint64_t>> kinds(stats.skippedByKind.begin(),
                                                                 stats.skippedByKind.end());
        std::stable_sort(kinds.begin(), kinds.end(),
                         [](const auto& x, const auto& y) { return x.second > y.second; });
        text += "; skipped";
        constexpr std::size_t kShown = 8;
        for (std::size_t i = 0; i < kinds.size() && i < kShown; ++i)
            text += (i ? ", " : " ") + Printable(kinds[i].first) + " " + std::to_string(kinds[i].second);
        if (kinds.size() > kShown) text += " and " + Count(kinds.size() - kShown, "other kind", "other kinds");
    }
    return text;
}
