// Remembered layer lookups for passes over the whole face list.
#include "interaction/LayerVisibility.h"

#include "model/LayerTable.h"

bool CLayerVisibility::IsVisible(const std::string& layer)
{
    if (m_hasLast && layer == m_lastName) return m_lastVisible;
    auto found = m_known.find(layer);
    if (found == m_known.end())
        found = m_known.emplace(layer, IsLayerIndexVisible(FindLayer(layer))).first;
    m_lastName = layer;
    m_lastVisible = found->second;
    m_hasLast = true;
    return m_lastVisible;
}
