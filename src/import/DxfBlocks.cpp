// Block definitions and their placement by INSERT: the insert's transform (base point,
// scale, rotation, extrusion, array offset), the inherited layer and colour, and the limits
// that keep self-insertion, deep nesting and huge arrays from running away.
#include "import/DxfBlocks.h"

#include "import/DxfFullGeometry.h"
#include "model/Constants.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace {

constexpr std::uint64_t kHuge = std::numeric_limits<std::uint64_t>::max() / 4;
// Counting what a placement would make stops after this many steps (only files whose blocks
// insert each other in circles come near); what it has not counted then counts as too much.
constexpr std::uint64_t kMaxEstimateSteps = 10'000'000;

std::uint64_t SatAdd(std::uint64_t a, std::uint64_t b) { return a > kHuge - std::min(b, kHuge) ? kHuge : a + b; }
std::uint64_t SatMul(std::uint64_t a, std::uint64_t b)
{
    if (a == 0 || b == 0) return 0;
    return a > kHuge / b ? kHuge : a * b;
}

std::string UpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

using CAffine = CDxfBlocks::CAffine;

CAffine Compose(const CAffine& a, const CAffine& b)
{
    CAffine out;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) {
            double v = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
            if (j == 3) v += a.m[i][3];
            out.m[i][j] = v;
        }
    }
    return out;
}

void Apply(const CAffine& t, const double p[3], double out[3])
{
    for (int i = 0; i < 3; ++i) out[i] = t.m[i][0] * p[0] + t.m[i][1] * p[1] + t.m[i][2] * p[2] + t.m[i][3];
}

// Block coordinates to the coordinates of the INSERT's container for one copy of an array:
// p - base, scaled, rotated about the insert's Z axis, moved to the insertion point plus the
// copy's offset (in the insert's own coordinates, rotated with it), into world axes by the
// extrusion.
bool InsertTransform(const CDxfInsert& insert, const double base[3], double columnOffset, double rowOffset,
                     CAffine& out)
{
    double ax[3], ay[3], az[3];
    if (!DxfOcsAxes(insert.extrusion, ax, ay, az)) return false;
    const double angle = insert.rotation * kDegToRad;
    const double c = std::cos(angle), s = std::sin(angle);
    const double sx = insert.scale[0], sy = insert.scale[1], sz = insert.scale[2];
    // Columns of the linear part in the insert's own coordinates.
    const double col[3][3] = {{c * sx, s * sx, 0.0}, {-s * sy, c * sy, 0.0}, {0.0, 0.0, sz}};
    const double at[3] = {insert.point[0] + c * columnOffset - s * rowOffset,
                          insert.point[1] + s * columnOffset + c * rowOffset, insert.point[2]};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) out.m[i][j] = ax[i] * col[j][0] + ay[i] * col[j][1] + az[i] * col[j][2];
        out.m[i][3] = ax[i] * at[0] + ay[i] * at[1] + az[i] * at[2];
    }
    for (int i = 0; i < 3; ++i)
        out.m[i][3] -= out.m[i][0] * base[0] + out.m[i][1] * base[1] + out.m[i][2] * base[2];
    return true;
}

}  // namespace

struct CDxfBlocks::CBlock {
    double base[3] = {};
    std::vector<CDxfRawFace> faces;
    std::vector<CDxfInsert> inserts;
    std::vector<std::size_t> insertAt;  // faces before each INSERT, so both keep the file's order
    CDxfLeftOut leftOut;
    bool placing = false;
    bool visiting = false;
    bool estimated = false;
    CEstimate estimate;
};

class CDxfBlocks::CModelOut : public CDxfFaceOut {
public:
    explicit CModelOut(CDxfBlocks& blocks) : m_blocks(blocks) {}
    void Face(const CDxfRawFace& face) override
    {
        static const float kWhite[3] = {1, 1, 1};
        const float* rgb = face.colour.by == CDxfColour::EBy::Own     ? face.colour.rgb
                           : face.colour.by == CDxfColour::EBy::Layer ? m_blocks.m_emitter.LayerColour(face.layer)
                                                                       : kWhite;
        m_blocks.m_emitter.Emit(face.c, face.rule, face.kind, face.layer, rgb, false);
    }
    void Insert(const CDxfInsert& insert) override { m_blocks.PlaceFromModel(insert); }
    CDxfLeftOut& LeftOut() override { return m_blocks.m_stats.leftOut; }

private:
    CDxfBlocks& m_blocks;
};

class CDxfBlocks::CDefinitionOut : public CDxfFaceOut {
public:
    explicit CDefinitionOut(CDxfBlocks& blocks) : m_blocks(blocks) {}
    void Face(const CDxfRawFace& face) override { m_blocks.m_current->faces.push_back(face); }
    void Insert(const CDxfInsert& insert) override
    {
        CBlock& block = *m_blocks.m_current;
        block.insertAt.push_back(block.faces.size());
        block.inserts.push_back(insert);
    }
    CDxfLeftOut& LeftOut() override { return m_blocks.m_current->leftOut; }

private:
    CDxfBlocks& m_blocks;
};

CDxfBlocks::CDxfBlocks(CDxfEmitter& emitter, CDxfFullStats& stats)
    : m_emitter(emitter),
      m_stats(stats),
      m_discard(std::make_unique<CBlock>()),
      m_modelOut(std::make_unique<CModelOut>(*this)),
      m_definitionOut(std::make_unique<CDefinitionOut>(*this))
{
}

CDxfBlocks::~CDxfBlocks() = default;

void CDxfBlocks::BeginDefinition(std::string_view name, const double base[3])
{
    auto block = std::make_unique<CBlock>();
    std::copy_n(base, 3, block->base);
    if (m_byName.emplace(UpperAscii(name), block.get()).second) {
        m_current = block.get();
        m_blocks.push_back(std::move(block));
    } else {
        *m_discard = CBlock();
        m_current = m_discard.get();
    }
    m_defining = true;
}

void CDxfBlocks::EndDefinition()
{
    m_defining = false;
    m_current = nullptr;
}

CDxfFaceOut& CDxfBlocks::DefinitionOut() { return *m_definitionOut; }
CDxfFaceOut& CDxfBlocks::ModelOut() { return *m_modelOut; }

CDxfBlocks::CBlock* CDxfBlocks::Find(std::string_view name)
{
    const auto it = m_byName.find(UpperAscii(name));
    return it == m_byName.end() ? nullptr : it->second;
}

// Copies of an array; a count below 1 makes none. As other readers do, a spacing of 0 puts
// every copy of that direction in one place, so it makes one copy.
std::uint64_t CDxfBlocks::Copies(const CDxfInsert& insert, int& columns, int& rows) const
{
    if (insert.columns < 1 || insert.rows < 1) return 0;
    columns = insert.columnSpacing != 0.0 ? insert.columns : 1;
    rows = insert.rowSpacing != 0.0 ? insert.rows : 1;
    return std::uint64_t(columns) * std::uint64_t(rows);
}

// Faces and placements one placement of the block makes (faces of no area included), as far
// as INSERTs that circle back are not followed. `partial` is set when a circle was cut, a
// block is not defined (yet) or counting stopped, so the figure may be low; such figures are
// not kept.
CDxfBlocks::CEstimate CDxfBlocks::Estimate(CBlock& block, int depth, bool& partial)
{
    if (block.estimated) return block.estimate;
    if (block.visiting) {
        partial = true;
        return {};
    }
    if (depth >= kDxfMaxNesting) {
        partial = true;  // placing does not follow it either
        return {};
    }
    if (++m_estimateSteps > kMaxEstimateSteps) {
        partial = true;
        return {kHuge, kHuge};
    }
    block.visiting = true;
    CEstimate total{block.faces.size(), 1};
    bool cut = false;
    for (const CDxfInsert& insert : block.inserts) {
        CBlock* child = Find(insert.block);
        if (!child) {
            cut = true;  // it may be defined later in the file
            continue;
        }
        int columns = 1, rows = 1;
        const std::uint64_t copies = Copies(insert, columns, rows);
        if (copies == 0) continue;
        const CEstimate e = Estimate(*child, depth + 1, cut);
        total.faces = SatAdd(total.faces, SatMul(e.faces, copies));
        total.placements = SatAdd(total.placements, SatMul(e.placements, copies));
    }
    block.visiting = false;
    if (cut) {
        partial = true;
    } else {
        block.estimated = true;
        block.estimate = total;
    }
    return total;
}

void CDxfBlocks::PlaceFromModel(const CDxfInsert& insert)
{
    CBlock* block = Find(insert.block);
    if (!block) {
        m_waiting.push_back(insert);
        return;
    }
    int columns = 1, rows = 1;
    const std::uint64_t copies = Copies(insert, columns, rows);
    bool partial = false;
    const CEstimate e = copies ? Estimate(*block, 0, partial) : CEstimate{};
    if (SatAdd(m_stats.facesMade, SatMul(e.faces, copies)) > m_emitter.Limit() ||
        SatAdd(m_stats.placements, SatMul(e.placements, copies)) > m_emitter.Limit()) {
        ++m_stats.insertsOverLimit;
        return;
    }
    Place(insert, CAffine(), CContext(), 0);
}

void CDxfBlocks::Place(const CDxfInsert& insert, const CAffine& parent, const CContext& context, int depth)
{
    if (m_emitter.AtLimit() || m_stats.placements >= m_emitter.Limit()) {
        ++m_stats.insertsOverLimit;
        return;
    }
    CBlock* block = Find(insert.block);
    if (!block) {
        ++m_stats.missingBlocks;
        return;
    }
    if (block->placing) {
        ++m_stats.selfInserts;
        return;
    }
    if (depth >= kDxfMaxNesting) {
        ++m_stats.tooDeep;
        return;
    }
    int columns = 1, rows = 1;
    if (Copies(insert, columns, rows) == 0) {
        ++m_stats.badArrays;
        return;
    }
    // Entities on layer "0" take the layer of the INSERT that places them, and ByBlock its
    // colour: the INSERT's own, its layer's, or what its own container gives ByBlock.
    CContext inner;
    inner.inBlock = true;
    inner.layer = context.inBlock && insert.layer == m_emitter.ZeroLayer() ? context.layer : insert.layer;
    const float* rgb = insert.colour.by == CDxfColour::EBy::Own     ? insert.colour.rgb
                       : insert.colour.by == CDxfColour::EBy::Layer ? m_emitter.LayerColour(inner.layer)
                                                                     : context.rgb;
    std::copy_n(rgb, 3, inner.rgb);

    block->placing = true;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            CAffine local;
            if (!InsertTransform(insert, block->base, column * insert.columnSpacing, row * insert.rowSpacing, local)) {
                ++m_stats.leftOut.badExtrusion;
                block->placing = false;
                return;
            }
            const CAffine transform = Compose(parent, local);
            ++m_stats.placements;
            m_stats.leftOut.Add(block->leftOut);
            auto emit = [&](const CDxfRawFace& face) {
                double c[4][3];
                for (int k = 0; k < 4; ++k) Apply(transform, face.c[k], c[k]);
                const std::uint32_t layer = face.layer == m_emitter.ZeroLayer() ? inner.layer : face.layer;
                const float* colour = face.colour.by == CDxfColour::EBy::Own     ? face.colour.rgb
                                      : face.colour.by == CDxfColour::EBy::Layer ? m_emitter.LayerColour(layer)
                                                                                  : inner.rgb;
                m_emitter.Emit(c, face.rule, face.kind, layer, colour, true);
            };
            std::size_t next = 0;
            for (std::size_t k = 0; k < block->inserts.size(); ++k) {
                for (; next < block->insertAt[k]; ++next) emit(block->faces[next]);
                Place(block->inserts[k], transform, inner, depth + 1);
            }
            for (; next < block->faces.size(); ++next) emit(block->faces[next]);
            if (m_emitter.AtLimit()) {
                block->placing = false;
                return;
            }
        }
    block->placing = false;
}

void CDxfBlocks::Finish()
{
    std::vector<CDxfInsert> waiting;
    waiting.swap(m_waiting);
    for (const CDxfInsert& insert : waiting) {
        if (Find(insert.block)) {
            PlaceFromModel(insert);
        } else {
            ++m_stats.missingBlocks;
        }
    }
}
