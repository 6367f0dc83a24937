// Layers, scale, face checks and the face list of the full DXF import.
#include "import/DxfFullEmitter.h"

#include "import/DxfFullGeometry.h"
#include "import/PagePrefault.h"
#include "model/LayerTable.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <new>

namespace {

std::string UpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

CDxfEmitter::CDxfEmitter(CDxfFullModel& model, const CDxfFullOptions& options)
    : m_model(model),
      m_stats(model.stats),
      m_sizeHint(options.sizeHint),
      m_countOnly(options.countOnly),
      m_limit(options.faceLimit)
{
    m_zeroLayer = LayerId("0");
}

std::uint32_t CDxfEmitter::LayerId(std::string_view raw)
{
    if (m_lastValid && raw == m_lastRaw) return m_lastId;
    std::string name(raw);
    auto it = m_ids.find(name);
    if (it == m_ids.end()) {
        CLayer layer;
        layer.key = UpperAscii(raw);
        layer.name = m_decoder.Decode(raw);
        TakeTableEntry(layer);
        m_layers.push_back(std::move(layer));
        it = m_ids.emplace(name, std::uint32_t(m_layers.size() - 1)).first;
    }
    m_lastRaw = std::move(name);
    m_lastId = it->second;
    m_lastValid = true;
    return m_lastId;
}

void CDxfEmitter::DefineTableLayer(std::string_view raw, int aci, bool hasTrueColour, std::int32_t trueColour, int flags)
{
    CTableLayer entry;
    // A negative colour number switches the layer off and keeps its colour.
    entry.visible = aci >= 0 && (flags & 1) == 0;
    const int index = aci == std::numeric_limits<int>::min() ? 0 : std::abs(aci);
    entry.rgb = hasTrueColour ? std::uint32_t(trueColour) & 0xFFFFFF : DxfAciRgb(index);
    const std::string key = UpperAscii(raw);
    if (!m_table.emplace(key, entry).second) return;  // the first entry of a name counts
    // Layers met before their table entry (a file whose tables come late) take it now.
    for (CLayer& layer : m_layers)
        if (layer.key == key) TakeTableEntry(layer);
}

void CDxfEmitter::TakeTableEntry(CLayer& layer) const
{
    const auto it = m_table.find(layer.key);
    if (it == m_table.end()) return;
    DxfRgbFloats(it->second.rgb, layer.rgb);
    layer.exact[0] = ((it->second.rgb >> 16) & 0xFF) / 255.0;
    layer.exact[1] = ((it->second.rgb >> 8) & 0xFF) / 255.0;
    layer.exact[2] = (it->second.rgb & 0xFF) / 255.0;
    layer.visible = it->second.visible;
}

// The layer list holds the layers of the faces made, in the order met, as AddLayer will take
// them: 99 at most, each UTF-8 name once.
int CDxfEmitter::ListIndex(std::uint32_t id)
{
    if (id == m_lastEmitLayer) return m_lastEmitIndex;
    CLayer& layer = m_layers[id];
    if (layer.listIndex == -1) {
        const auto it = m_listByName.find(layer.name);
        if (it != m_listByName.end()) {
            layer.listIndex = it->second;
        } else if (int(m_listLayers.size()) < kAddLayerLimit) {
            layer.listIndex = int(m_listLayers.size());
            m_listByName.emplace(layer.name, layer.listIndex);
            m_listLayers.push_back(id);
        } else {
            layer.listIndex = -2;
        }
    }
    m_lastEmitLayer = id;
    m_lastEmitIndex = layer.listIndex;
    return layer.listIndex;
}

void CDxfEmitter::Emit(const double corners[4][3], ENormalRule rule, EDxfFaceKind kind, std::uint32_t layer,
                       const float rgb[3], bool throughInsert)
{
    if (m_stats.facesMade >= m_limit) {
        ++m_stats.facesOverLimit;
        return;
    }
    // A corner beyond the range of a float would be stored as an infinity: such a face is
    // dropped, so that no corner and no centring shift is other than finite.
    double c[4][3];
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) {
            c[k][a] = corners[k][a] * m_scale;
            if (!(std::fabs(c[k][a]) <= double(std::numeric_limits<float>::max()))) {
                ++m_stats.outOfRange;
                return;
            }
        }
    if (!m_haveOrigin) {
        m_model.origin[0] = c[0][0];
        m_model.origin[1] = c[0][1];
        m_haveOrigin = true;
    }
    // The corners as the floats of the model will hold them, less the origin in plan.
    double stored[4][3];
    for (int k = 0; k < 4; ++k) {
        stored[k][0] = double(static_cast<float>(c[k][0] - m_model.origin[0]));
        stored[k][1] = double(static_cast<float>(c[k][1] - m_model.origin[1]));
        stored[k][2] = double(static_cast<float>(c[k][2]));
        for (double v : stored[k])
            if (!std::isfinite(v)) {
                ++m_stats.outOfRange;  // finite, but not once the origin is taken off
                return;
            }
    }
    if (!DxfHasArea(stored)) {
        ++m_stats.degenerate;
        return;
    }
    double normal[3];
    DxfFaceNormal(c, rule, normal);
    if (ListIndex(layer) < 0) ++m_stats.offTable;
    ++m_stats.facesMade;
    ++m_stats.facesByKind[int(kind)];
    if (throughInsert) ++m_stats.facesThroughInsert;
    if (m_countOnly) return;

    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) {
            m_model.boxMin[a] = std::min(m_model.boxMin[a], c[k][a]);
            m_model.boxMax[a] = std::max(m_model.boxMax[a], c[k][a]);
        }
    CShapeList& list = m_model.shapes;
    if (list.size() == list.capacity()) Grow();
    if (list.size() == m_preparedTo) PrepareAhead();
    CShape& shape = list.emplace_back();
    shape.m_kind = CShape::kFace;
    for (int k = 0; k < 4; ++k) {
        shape.m_vertex[k][0] = static_cast<float>(stored[k][0]);
        shape.m_vertex[k][1] = static_cast<float>(stored[k][2]);
        shape.m_vertex[k][2] = static_cast<float>(-stored[k][1]);
        shape.m_normal[k][0] = static_cast<float>(normal[0]);
        shape.m_normal[k][1] = static_cast<float>(normal[2]);
        shape.m_normal[k][2] = static_cast<float>(-normal[1]);
    }
    shape.m_layer = m_layers[layer].name;
    std::copy_n(rgb, 3, shape.m_color);
}

// A doubling list touches twice the memory it ends with and copies every face on each step.
// With the source's size known, the faces per byte read so far project the final count, and
// the list grows there in one step; capacity never written costs no memory, so the projection
// is generous. It is made once a few megabytes are read, when the rate has settled.
void CDxfEmitter::Grow()
{
    CShapeList& list = m_model.shapes;
    std::size_t want = std::max<std::size_t>(64, list.size() * 2);
    if (m_sizeHint > m_consumed && m_consumed >= (4u << 20)) {
        const double projected = double(list.size()) * (double(m_sizeHint) / double(m_consumed)) * 1.25 + 64;
        const double ceiling = double(m_sizeHint / 8 + 64);  // no face takes fewer than 8 bytes
        want = std::max(list.size() + list.size() / 4 + 64, static_cast<std::size_t>(std::min(projected, ceiling)));
        m_projected = true;
    }
    try {
        list.reserve(want);
    } catch (const std::bad_alloc&) {
        // The projection may not fit where the faces themselves still do.
        list.reserve(std::max<std::size_t>(64, list.size() + list.size() / 2));
    }
    m_preparedTo = list.size();
}

// The first write to each new page of the face list costs a page fault; the pages of the
// next few megabytes are asked for in one call.
void CDxfEmitter::PrepareAhead()
{
    CShapeList& list = m_model.shapes;
    constexpr std::size_t kAhead = (8u << 20) / sizeof(CShape);
    const std::size_t to = std::min(list.capacity(), list.size() + kAhead);
    PrefaultForWriting(list.data() + list.size(), list.data() + to);
    m_preparedTo = to;
}

void CDxfEmitter::Finish()
{
    CShapeList& list = m_model.shapes;
    // Capacity never written is not resident, but a list far larger than its faces is given back.
    if (m_projected && list.capacity() > 2 * list.size() + 64) list.shrink_to_fit();
    m_model.layers.clear();
    if (m_countOnly) return;
    for (std::uint32_t id : m_listLayers) {
        const CLayer& layer = m_layers[id];
        CDxfFullLayer out;
        out.name = layer.name;
        std::copy_n(layer.exact, 3, out.rgb);
        out.visible = layer.visible;
        m_model.layers.push_back(std::move(out));
    }
}
