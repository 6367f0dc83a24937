// The change records: faces taken out and put back at their positions, corners exchanged,
// faces appended, selection flags, layer slots and scene settings before and after.
#include "model/ModelEdits.h"

#include "model/SceneSettings.h"

#include <algorithm>
#include <cstring>

std::unique_ptr<CFaceRemoval> CFaceRemoval::RemoveSelected(CShapeList& shapes)
{
    auto removal = std::unique_ptr<CFaceRemoval>(new CFaceRemoval);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (shapes[i].m_selected == 1) {
            removal->m_indices.push_back(i);
            removal->m_faces.push_back(std::move(shapes[i]));
        } else {
            if (kept != i) shapes[kept] = std::move(shapes[i]);
            ++kept;
        }
    }
    shapes.resize(kept);
    return removal;
}

void CFaceRemoval::Undo(CMyvorla_ltDoc& doc)
{
    // Merged back from the end, so every face moves once.
    CShapeList& shapes = doc.m_shapeList;
    const std::size_t k = m_faces.size();
    if (k == 0) return;
    std::size_t from = shapes.size();
    shapes.resize(shapes.size() + k);
    std::size_t r = k;
    for (std::size_t to = shapes.size(); r > 0;) {
        --to;
        if (m_indices[r - 1] == to) {
            shapes[to] = std::move(m_faces[--r]);
        } else {
            shapes[to] = std::move(shapes[--from]);
        }
    }
    CShapeList().swap(m_faces);
}

void CFaceRemoval::Redo(CMyvorla_ltDoc& doc)
{
    CShapeList& shapes = doc.m_shapeList;
    m_faces.clear();
    m_faces.reserve(m_indices.size());
    std::size_t kept = 0, r = 0;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (r < m_indices.size() && m_indices[r] == i) {
            m_faces.push_back(std::move(shapes[i]));
            ++r;
        } else {
            if (kept != i) shapes[kept] = std::move(shapes[i]);
            ++kept;
        }
    }
    shapes.resize(kept);
    m_indices.resize(r);  // positions past the end (never expected) are dropped, not invented
}

std::size_t CFaceRemoval::Bytes() const
{
    return m_indices.capacity() * sizeof(std::size_t) + m_faces.capacity() * sizeof(CShape);
}

void CCornerSwap::Add(std::size_t index, const float corners[4][3])
{
    m_indices.push_back(index);
    std::array<float, 12>& kept = m_corners.emplace_back();
    std::memcpy(kept.data(), corners, sizeof kept);
}

void CCornerSwap::Swap(CShapeList& shapes)
{
    for (std::size_t i = 0; i < m_indices.size(); ++i) {
        if (m_indices[i] >= shapes.size()) continue;
        float* corners = &shapes[m_indices[i]].m_vertex[0][0];
        std::swap_ranges(corners, corners + 12, m_corners[i].begin());
    }
}

std::size_t CCornerSwap::Bytes() const
{
    return m_indices.capacity() * sizeof(std::size_t) + m_corners.capacity() * sizeof(m_corners[0]);
}

void CFaceAppend::Undo(CMyvorla_ltDoc& doc)
{
    CShapeList& shapes = doc.m_shapeList;
    if (m_first >= shapes.size()) return;
    m_faces.assign(std::make_move_iterator(shapes.begin() + std::ptrdiff_t(m_first)),
                   std::make_move_iterator(shapes.end()));
    shapes.resize(m_first);
}

void CFaceAppend::Redo(CMyvorla_ltDoc& doc)
{
    CShapeList& shapes = doc.m_shapeList;
    shapes.insert(shapes.end(), std::make_move_iterator(m_faces.begin()), std::make_move_iterator(m_faces.end()));
    CShapeList().swap(m_faces);
}

std::size_t CFaceAppend::Bytes() const { return m_faces.capacity() * sizeof(CShape); }

std::unique_ptr<CSelectionClear> CSelectionClear::Clear(CShapeList& shapes)
{
    auto clear = std::unique_ptr<CSelectionClear>(new CSelectionClear);
    clear->Capture(shapes);
    return clear;
}

void CSelectionClear::Capture(CShapeList& shapes)
{
    m_indices.clear();
    m_flags.clear();
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (shapes[i].m_selected == 0) continue;
        m_indices.push_back(i);
        m_flags.push_back(shapes[i].m_selected);
        shapes[i].m_selected = 0;
    }
}

void CSelectionClear::Undo(CMyvorla_ltDoc& doc)
{
    CShapeList& shapes = doc.m_shapeList;
    for (std::size_t i = 0; i < m_indices.size(); ++i)
        if (m_indices[i] < shapes.size()) shapes[m_indices[i]].m_selected = m_flags[i];
}

void CSelectionClear::Redo(CMyvorla_ltDoc& doc) { Capture(doc.m_shapeList); }

std::size_t CSelectionClear::Bytes() const
{
    return m_indices.capacity() * sizeof(std::size_t) + m_flags.capacity() * sizeof(int32_t);
}

CLayerTableState CLayerTableState::Capture()
{
    CLayerTableState state;
    state.count = g_layerCount;
    for (int i = 0; i < kMaxLayers; ++i) {
        state.names[std::size_t(i)] = g_layerName[i];
        std::copy(std::begin(g_layerAttr[i]), std::end(g_layerAttr[i]), state.attrs[std::size_t(i)].begin());
    }
    for (int i = 0; i < kTextureSlots; ++i) state.textures[std::size_t(i)] = g_layerTexture[i];
    return state;
}

CLayerTableChange::CLayerTableChange(const CLayerTableState& before, const CLayerTableState& after)
    : m_countBefore(before.count), m_countAfter(after.count)
{
    for (int i = 0; i < kTextureSlots; ++i) {
        const std::size_t s = std::size_t(i);
        const bool hasLayer = i < kMaxLayers;
        const bool layerDiffers =
            hasLayer && (before.names[s] != after.names[s] ||
                         std::memcmp(before.attrs[s].data(), after.attrs[s].data(), sizeof before.attrs[s]) != 0);
        if (!layerDiffers && before.textures[s] == after.textures[s]) continue;
        CSlot& slot = m_slots.emplace_back();
        slot.index = i;
        slot.hasLayer = hasLayer;
        slot.texture[0] = before.textures[s];
        slot.texture[1] = after.textures[s];
        if (hasLayer) {
            slot.name[0] = before.names[s];
            slot.name[1] = after.names[s];
            slot.attr[0] = before.attrs[s];
            slot.attr[1] = after.attrs[s];
        }
    }
}

bool CLayerTableChange::ChangesVisibility() const
{
    return std::any_of(m_slots.begin(), m_slots.end(), [](const CSlot& slot) {
        return slot.hasLayer && std::memcmp(&slot.attr[0][kVisible], &slot.attr[1][kVisible], sizeof(double)) != 0;
    });
}

bool CLayerTableChange::ChangesMoreThanVisibility() const
{
    if (m_countBefore != m_countAfter) return true;
    return std::any_of(m_slots.begin(), m_slots.end(), [](const CSlot& slot) {
        if (slot.texture[0] != slot.texture[1]) return true;
        if (!slot.hasLayer) return false;
        return slot.name[0] != slot.name[1] ||
               std::memcmp(slot.attr[0].data(), slot.attr[1].data(), sizeof(double) * kVisible) != 0;
    });
}

void CLayerTableChange::Store(bool after) const
{
    const int side = after ? 1 : 0;
    for (const CSlot& slot : m_slots) {
        g_layerTexture[slot.index] = slot.texture[side];
        if (!slot.hasLayer) continue;
        g_layerName[slot.index] = slot.name[side];
        std::copy(slot.attr[side].begin(), slot.attr[side].end(), g_layerAttr[slot.index]);
    }
    g_layerCount = after ? m_countAfter : m_countBefore;
}

std::size_t CLayerTableChange::Bytes() const
{
    std::size_t bytes = m_slots.capacity() * sizeof(CSlot);
    for (const CSlot& slot : m_slots)
        for (int side = 0; side < 2; ++side) bytes += slot.name[side].capacity() + slot.texture[side].capacity();
    return bytes;
}

CSceneSettingsState CSceneSettingsState::Capture()
{
    return {g_sky, g_ground, g_north, g_season, g_latitude, g_hour};
}

void CSceneSettingsState::Store() const
{
    g_sky = sky;
    g_ground = ground;
    g_north = north;
    g_season = season;
    g_latitude = latitude;
    g_hour = hour;
}

bool CSceneSettingsState::SameAs(const CSceneSettingsState& other) const
{
    const double mine[4] = {north, season, latitude, hour};
    const double theirs[4] = {other.north, other.season, other.latitude, other.hour};
    return sky == other.sky && ground == other.ground && std::memcmp(mine, theirs, sizeof mine) == 0;
}

std::size_t CSceneSettingsChange::Bytes() const
{
    return m_before.sky.capacity() + m_before.ground.capacity() + m_after.sky.capacity() + m_after.ground.capacity();
}

CModelReplacement::CModelReplacement(const CLayerTableState& before, const CLayerTableState& after,
                                     CSceneSettingsState sceneBefore, CSceneSettingsState sceneAfter)
    : m_layers(before, after), m_scene(std::move(sceneBefore), std::move(sceneAfter))
{
}

std::unique_ptr<CModelReplacement> CModelReplacement::Replace(CMyvorla_ltDoc& doc,
                                                              const std::function<void(CMyvorla_ltDoc&)>& replace)
{
    const CLayerTableState layersBefore = CLayerTableState::Capture();
    CSceneSettingsState sceneBefore = CSceneSettingsState::Capture();
    CShapeList previous = std::move(doc.m_shapeList);
    doc.m_shapeList = CShapeList();
    replace(doc);
    auto record = std::unique_ptr<CModelReplacement>(new CModelReplacement(
        layersBefore, CLayerTableState::Capture(), std::move(sceneBefore), CSceneSettingsState::Capture()));
    record->m_other = std::move(previous);
    return record;
}

void CModelReplacement::Undo(CMyvorla_ltDoc& doc)
{
    std::swap(doc.m_shapeList, m_other);
    m_layers.Undo(doc);
    m_scene.Undo(doc);
}

void CModelReplacement::Redo(CMyvorla_ltDoc& doc)
{
    std::swap(doc.m_shapeList, m_other);
    m_layers.Redo(doc);
    m_scene.Redo(doc);
}

std::size_t CModelReplacement::Bytes() const
{
    std::size_t bytes = m_other.capacity() * sizeof(CShape) + m_layers.Bytes() + m_scene.Bytes();
    for (const CShape& shape : m_other) bytes += shape.m_layer.capacity() > 15 ? shape.m_layer.capacity() : 0;
    return bytes;
}

void CEditSequence::Undo(CMyvorla_ltDoc& doc)
{
    for (auto it = m_edits.rbegin(); it != m_edits.rend(); ++it) (*it)->Undo(doc);
}

void CEditSequence::Redo(CMyvorla_ltDoc& doc)
{
    for (const auto& edit : m_edits) edit->Redo(doc);
}

std::size_t CEditSequence::Bytes() const
{
    std::size_t bytes = 0;
    for (const auto& edit : m_edits) bytes += edit->Bytes();
    return bytes;
}

std::unique_ptr<CEditSequence> RecordFacesAdded(CMyvorla_ltDoc& doc, const std::function<void()>& add)
{
    const CLayerTableState before = CLayerTableState::Capture();
    const std::size_t first = doc.m_shapeList.size();
    add();
    auto record = std::make_unique<CEditSequence>();
    auto layers = std::make_unique<CLayerTableChange>(before, CLayerTableState::Capture());
    if (!layers->Empty()) record->Add(std::move(layers));
    record->Add(std::make_unique<CFaceAppend>(first));
    return record;
}
