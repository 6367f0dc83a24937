// DXF import: pairs of group-code and value lines, the ENTITIES gate, the entity machine and
// the corner rules of LINE, SOLID and 3DFACE.
//
// Geometry is computed in DXF coordinates (Z up) as doubles and stored as floats in the
// display frame: a DXF point or vector (X, Y, Z) becomes (X, Z, -Y).
#include "import/DxfReader.h"

#include "import/DxfPairPipeline.h"
#include "import/DxfPairs.h"
#include "import/NumberParse.h"
#include "model/LayerTable.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

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

// Makes the kernel provide the whole pages between `begin` and `end` for writing now, where
// it can; otherwise they come one page fault at a time as they are written.
void PrefaultForWriting(void* begin, void* end)
{
#ifdef MADV_POPULATE_WRITE
    const std::uintptr_t page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) & ~(page - 1);
    const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(end) & ~(page - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#else
    (void)begin, (void)end;
#endif
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

// A value as the sequential reader has it: the text of the value line, converted when the
// entity machine reads it. The text is followed in memory by readable padding.
struct CLineValue {
    std::string_view text;
    const CDxfPairCutter& cutter;

    std::string_view Text() const { return text; }
    double Number() const { return ParseAtofPadded(text); }
    int Integer() const { return ParseAtoi(text); }
    std::uint64_t Consumed() const { return cutter.Lines().BytesConsumed(); }
};

// A value as the pair worker converted it ahead of time, but for the division of a number, or
// for the whole conversion of a number it left as text.
// The worker keeps only what DxfValueKind names for the code; asking for anything else is a
// fault of this file, caught by the asserts of a debug build.
struct CBatchValue {
    const CDxfPair& pair;
    const CDxfPairBatch& batch;

    std::string_view Text() const
    {
        assert(DxfValueKind(pair.code) == EDxfValue::Text);
        return batch.Text(pair);
    }
    double Number() const
    {
        assert(DxfValueKind(pair.code) == EDxfValue::Number);
        if (pair.length & CDxfPair::kDeferred) {  // the text is followed by readable bytes
            return ParseAtofPadded({batch.text.get() + pair.offset, std::size_t(pair.length & ~CDxfPair::kDeferred)});
        }
        return AtofValue({pair.numerator, pair.length});
    }
    int Integer() const
    {
        assert(DxfValueKind(pair.code) == EDxfValue::Integer);
        return pair.integer;
    }
    std::uint64_t Consumed() const
    {
        assert(DxfValueKind(pair.code) == EDxfValue::Text);
        return pair.consumed;
    }
};

// The working record of one import and the entity machine that fills it.
class CDxfImport {
public:
    CDxfImport(CMyvorla_ltDoc& doc, CDxfImportStats& stats, std::vector<std::string>& layers, std::uint64_t sizeHint)
        : m_doc(doc), m_stats(stats), m_layers(layers), m_sizeHint(sizeHint)
    {
        FillNumberSlots();
        static const char kNoName[8] = {};
        SetLayer(std::string_view(kNoName, 0));
    }
    CDxfImport(const CDxfImport&) = delete;  // the number slots point into the object
    CDxfImport& operator=(const CDxfImport&) = delete;

    template <class TValue> void Pair(int code, const TValue& value)
    {
        if (!m_inEntities) {
            if (code == 2 && value.Text() == "ENTITIES") m_inEntities = m_stats.entitiesFound = true;
            return;
        }
        if (code == 0 || code == -1) {
            if (m_entity != EEntity::None && m_entity != EEntity::Skipped) {
                m_consumed = value.Consumed();
                Complete();
            }
            Begin(value.Text());
            return;
        }
        if (m_entity != EEntity::None && m_entity != EEntity::Skipped) Store(code, value);
    }

    // The scratch record as AddShape leaves it: a copy of the last face (before the centring),
    // but for its reserved values.
    void KeepLastFace()
    {
        if (m_stats.facesImported == 0) return;
        m_doc.m_curShape.CopyAllButReserved(m_doc.m_shapeList.back());
    }

    // Moves every face so that the box of the corners placed is centred on the origin in plan.
    // Also gives back what a projection far above the count reached had reserved. With
    // `twoThreads` (a second core was free for the import) a helper thread moves the second
    // half of a big list; each face is moved alone, so the result is the same.
    void Centre(bool twoThreads)
    {
        CShapeList& list = m_doc.m_shapeList;
        if (m_projected && list.capacity() > list.size() + list.size() / 2 + 64) list.shrink_to_fit();
        if (m_stats.facesImported == 0) return;
        const double cx = (m_boxMin[0] + m_boxMax[0]) / 2;
        const double cy = (m_boxMin[1] + m_boxMax[1]) / 2;
        const auto move = [cx, cy](CShape* begin, CShape* end) {
            for (CShape* shape = begin; shape != end; ++shape)
                for (auto& corner : shape->m_vertex) {
                    corner[0] = static_cast<float>(corner[0] - cx);
                    corner[2] = static_cast<float>(corner[2] + cy);
                }
        };
        CShape* const begin = list.data();
        CShape* const end = begin + list.size();
        constexpr std::size_t kWorthASecondThread = 1 << 16;
        if (twoThreads && list.size() >= kWorthASecondThread) {
            CShape* const middle = begin + list.size() / 2;
            try {
                std::thread helper(move, middle, end);
                move(begin, middle);
                helper.join();
                return;
            } catch (const std::system_error&) {
                // No thread to be had: this one moves them all.
            }
        }
        move(begin, end);
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

    template <class TValue> void Store(int code, const TValue& value)
    {
        if (code == 8) {
            SetLayer(value.Text());
        } else if (code == 62) {
            m_color = value.Integer();
        } else if (unsigned(code) <= kLastNumberCode) {
            if (double* slot = m_numberSlots[int(m_entity) - int(EEntity::Line)][code]) *slot = value.Number();
        }
    }

    // Where each producing kind keeps the value of each number code it reads: the points,
    // LINE's thickness, and the extrusion of LINE and SOLID. Null for the codes it ignores.
    static constexpr int kLastNumberCode = 230;
    void FillNumberSlots()
    {
        for (int kind = 0; kind < 3; ++kind) {
            const EEntity entity = EEntity(int(EEntity::Line) + kind);
            auto& slots = m_numberSlots[kind];
            const int points = entity == EEntity::Line ? 2 : 4;
            for (int k = 0; k < points; ++k)
                for (int a = 0; a < 3; ++a) slots[(a + 1) * 10 + k] = &m_point[k][a];
            if (entity == EEntity::Line) slots[39] = &m_thickness;
            if (entity != EEntity::Face)
                for (int a = 0; a < 3; ++a) slots[210 + 10 * a] = &m_extrusion[a];
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

    // The face is built where it stays, at the end of the list: filling the scratch record and
    // copying it with AddShape would write every face twice. The scratch record is given the
    // last face by KeepLastFace, as AddShape would have left it.
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
        CShapeList& list = m_doc.m_shapeList;
        if (list.size() == list.capacity()) Grow();
        if (list.size() == m_preparedTo) PrepareAhead();
        CShape& shape = list.emplace_back();
        shape.m_kind = CShape::kFace;
        for (int k = 0; k < 4; ++k) {
            shape.m_vertex[k][0] = static_cast<float>(c[k][0]);
            shape.m_vertex[k][1] = static_cast<float>(c[k][2]);
            shape.m_vertex[k][2] = static_cast<float>(-c[k][1]);
            shape.m_normal[k][0] = static_cast<float>(normal[0]);
            shape.m_normal[k][1] = static_cast<float>(normal[2]);
            shape.m_normal[k][2] = static_cast<float>(-normal[1]);
        }
        shape.m_layer = m_layer->name;
        ColorOf(m_color, shape.m_color);
        AddLayerCached();
        if (m_stats.facesImported++ == 0) m_doc.SetModifiedFlag(true);
    }

    // A doubling vector touches twice the memory it ends with and moves every face several
    // times. With the source's size known, the faces per byte read so far project the final
    // count, and one step of growth goes there.
    void Grow()
    {
        CShapeList& list = m_doc.m_shapeList;
        std::size_t want = std::max<std::size_t>(64, list.size() * 2);
        const std::uint64_t consumed = m_consumed;
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
        m_preparedTo = list.size();
    }

    // The first write to each new page of the face list costs a page fault: a million faces
    // take 43,000 of them. Asking the kernel for the pages of the next few megabytes in one
    // call is cheaper, and a projection far above the count reached costs no memory for the
    // faces that never come.
    void PrepareAhead()
    {
        CShapeList& list = m_doc.m_shapeList;
        constexpr std::size_t kAhead = (8u << 20) / sizeof(CShape);
        const std::size_t to = std::min(list.capacity(), list.size() + kAhead);
        PrefaultForWriting(list.data() + list.size(), list.data() + to);
        m_preparedTo = to;
    }

    // The layer names go to a list of their own, not to the layer table, which the import
    // fills in one step at its end: the list is what AddLayer would make of the names met,
    // starting from an empty table (the unique names in order, at most 99).
    bool RecordLayer(const std::string& name)
    {
        if (std::find(m_layers.begin(), m_layers.end(), name) != m_layers.end()) return true;
        if (m_layers.size() >= std::size_t(kAddLayerLimit)) return false;
        m_layers.push_back(name);
        return true;
    }

    // The layer names met, each in the slot of a cheap hash of its bytes (a newer name takes
    // the slot of an older one): a group 8 finds its name's slot once, and the faces after it
    // take the name and whether it is in the list from there, without a comparison or a
    // lookup per face. `name` is followed in memory by 8 readable bytes, as every value is.
    struct CLayerSlot {
        std::string name;
        bool filled = false;
        bool known = false;    // RecordLayer has had the name
        bool inTable = false;  // and it is in the list
    };
    static constexpr std::size_t kLayerSlots = 256;

    void SetLayer(std::string_view name)
    {
        std::uint64_t head = 0, tail = 0;
        std::memcpy(&head, name.data(), 8);
        if (name.size() < 8) head &= ~(~std::uint64_t(0) << (8 * name.size()));
        if (name.size() > 8) std::memcpy(&tail, name.data() + name.size() - 8, 8);
        const std::uint64_t hash = ((head ^ (tail * 0x9E3779B97F4A7C15u)) + name.size()) * 0xC2B2AE3D27D4EB4Fu;
        CLayerSlot& slot = m_layerSlots[hash >> 56];
        if (!slot.filled || slot.name != name) {
            slot.name.assign(name);
            slot.filled = true;
            slot.known = false;
        }
        m_layer = &slot;
    }

    // A name it has had before changes nothing during one import: the name is in the list, or
    // the list was full and stays full. Such names skip the scan of the list. The names
    // remembered are bounded, so a file of a million layer names costs no more memory than its
    // faces do; names past the bound take the scan.
    void AddLayerCached()
    {
        static constexpr std::size_t kNamesRemembered = 4096;
        CLayerSlot& layer = *m_layer;
        if (!layer.known) {
            const auto it = m_layersSeen.find(layer.name);
            if (it != m_layersSeen.end()) {
                layer.inTable = it->second;
            } else {
                layer.inTable = RecordLayer(layer.name);
                if (m_layersSeen.size() < kNamesRemembered) m_layersSeen.emplace(layer.name, layer.inTable);
            }
            layer.known = true;
        }
        if (!layer.inTable) ++m_stats.facesOffTable;
    }

    CMyvorla_ltDoc& m_doc;
    CDxfImportStats& m_stats;
    std::vector<std::string>& m_layers;
    const std::uint64_t m_sizeHint;
    std::uint64_t m_consumed = 0;  // bytes of the source consumed up to the pair that completes an entity
    bool m_projected = false;
    std::size_t m_preparedTo = 0;  // faces of the list's capacity whose pages are there

    bool m_inEntities = false;
    bool m_sectionOpen = true;  // for the statistics only: before the ENDSEC of ENTITIES
    EEntity m_entity = EEntity::None;
    // Layer name and points carry over from one entity to the next; before the file gives
    // them they are empty and zero.
    std::unique_ptr<CLayerSlot[]> m_layerSlots{new CLayerSlot[kLayerSlots]};
    CLayerSlot* m_layer = nullptr;  // the slot of the current layer name
    int m_color = 0;
    double m_point[4][3] = {};
    double m_thickness = 0.0;
    double m_extrusion[3] = {0.0, 0.0, 1.0};
    double* m_numberSlots[3][kLastNumberCode + 1] = {};  // by kind (LINE, SOLID, 3DFACE) and code
    double m_boxMin[3] = {1e20, 1e20, 1e20};
    double m_boxMax[3] = {-1e20, -1e20, -1e20};

    // libstdc++ compares a key with every entry of a table of up to 20 before it hashes when the
    // hash is std::hash<std::string>, which it deems slow; with 20 layers that is ten string
    // comparisons per face. A hash of its own makes it hash at once.
    struct CNameHash {
        std::size_t operator()(const std::string& name) const { return std::hash<std::string_view>()(name); }
    };
    std::unordered_map<std::string, bool, CNameHash> m_layersSeen;  // name -> in the table
};

// Files from this size on are read with the pair worker when a second core is there: below it
// starting a thread costs more than it saves.
constexpr std::uint64_t kWorkerFromBytes = 4u << 20;

void TakeCutterStats(const CDxfPairCutter& cutter, CDxfImportStats& stats)
{
    stats.binaryDxf = cutter.Binary();
    stats.wideCodeLines = cutter.WideCodeLines();
    stats.bytesRead = cutter.Lines().BytesRead();
    stats.longLines = cutter.Lines().SplitLines();
    stats.readError = cutter.Lines().Error();
}

void ReadOnCallerThread(CByteSource& source, std::size_t blockSize, CDxfImport& import, CDxfImportStats& stats,
                        const std::function<void(std::uint64_t)>& progress)
{
    CDxfPairCutter cutter(source, blockSize);
    cutter.Lines().m_progress = progress;
    cutter.ForEachPair([&](int code, std::string_view value) {
        import.Pair(code, CLineValue{value, cutter});
        return true;
    });
    TakeCutterStats(cutter, stats);
}

// The worker cuts and converts; this thread runs the entity machine and reports the progress.
void ReadWithWorker(CDxfPairPipeline& pipeline, CDxfImport& import, CDxfImportStats& stats,
                    const std::function<void(std::uint64_t)>& progress)
{
    while (const CDxfPairBatch* batch = pipeline.Next()) {
        if (progress)
            for (std::uint64_t bytesRead : batch->progress) progress(bytesRead);
        const CDxfPair* const pairs = batch->pairs.get();
        for (std::size_t i = 0; i < batch->count; ++i) import.Pair(pairs[i].code, CBatchValue{pairs[i], *batch});
    }
    TakeCutterStats(pipeline.Cutter(), stats);
}

}  // namespace

CDxfImportAside ReadDxfAside(CByteSource& source, const std::function<void(std::uint64_t bytesRead)>& progress,
                             std::uint64_t sizeHint, EDxfThreading threading)
{
    CDxfImportAside aside;
    CDxfImportStats& stats = aside.stats;
    CMyvorla_ltDoc scratch;  // the faces are made here, away from the model

    // A file smaller than the usual 1 MiB block is read in one block just larger than itself.
    constexpr std::size_t kBlock = 1 << 20;
    const std::size_t block = sizeHint > 0 && sizeHint < kBlock
                                  ? std::max<std::size_t>(4096, static_cast<std::size_t>(sizeHint) + 1)
                                  : kBlock;
    CDxfImport import(scratch, stats, aside.layers, sizeHint);
    if (threading == EDxfThreading::Automatic)
        threading = sizeHint >= kWorkerFromBytes && CDxfPairPipeline::CoreIsFree() ? EDxfThreading::Worker
                                                                                   : EDxfThreading::CallerOnly;
    std::unique_ptr<CDxfPairPipeline> pipeline;
    if (threading == EDxfThreading::Worker) {
        try {
            pipeline = std::make_unique<CDxfPairPipeline>(source);
        } catch (const std::system_error&) {
            // No thread to be had: nothing was read yet, so this thread reads it all.
        }
    }
    try {
        if (pipeline) {
            ReadWithWorker(*pipeline, import, stats, progress);
        } else {
            ReadOnCallerThread(source, block, import, stats, progress);
        }
        import.KeepLastFace();
        aside.hasLastFace = stats.facesImported > 0;
        import.Centre(pipeline != nullptr);
    } catch (const std::bad_alloc&) {
        aside.memoryProblem = CFileProblem::Of(EFileProblem::kNoMemoryBeyondFaces, std::int64_t(stats.facesImported));
    } catch (const std::length_error&) {
        aside.memoryProblem = CFileProblem::Of(EFileProblem::kTooManyFaces, std::int64_t(stats.facesImported));
    }
    pipeline.reset();  // the worker stops before the faces' memory is given back
    if (aside.memoryProblem.Failed()) {
        // All memory is given back and the model will be empty, as after a file without faces;
        // a part of a model would look complete.
        CShapeList().swap(scratch.m_shapeList);
        aside.hasLastFace = false;
        aside.memoryFailed = true;
        stats.facesImported = 0;
        stats.facesOffTable = 0;
        stats.readError = aside.memoryProblem.English();
    }
    aside.shapes = std::move(scratch.m_shapeList);
    aside.lastFace = scratch.m_curShape;
    return aside;
}

void ApplyDxfImport(CDxfImportAside&& aside, CMyvorla_ltDoc& doc)
{
    doc.m_shapeList = std::move(aside.shapes);
    if (aside.hasLastFace) doc.m_curShape.CopyAllButReserved(aside.lastFace);
    g_layerCount = 0;
    for (const std::string& name : aside.layers) AddLayer(name);
    if (aside.stats.facesImported > 0) doc.SetModifiedFlag(true);
    if (aside.memoryFailed) {
        doc.SetModifiedFlag(false);
        g_layerCount = 0;
    }
}

CDxfImportStats ImportDxf(CByteSource& source, CMyvorla_ltDoc& doc,
                          const std::function<void(std::uint64_t bytesRead)>& progress, std::uint64_t sizeHint,
                          EDxfThreading threading)
{
    CShapeList().swap(doc.m_shapeList);  // give the old model's memory back before reading
    g_layerCount = 0;
    CDxfImportAside aside = ReadDxfAside(source, progress, sizeHint, threading);
    CDxfImportStats stats = aside.stats;
    ApplyDxfImport(std::move(aside), doc);
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
