// Adding layers by name and finding a face's layer.
#include "model/LayerTable.h"

void AddLayer(std::string_view name)
{
    for (int i = 0; i < g_layerCount; ++i)
        if (g_layerName[i] == name) return;
    if (g_layerCount >= kAddLayerLimit) return;
    const int i = g_layerCount;
    g_layerName[i] = name;
    double* attr = g_layerAttr[i];
    attr[kRed] = attr[kGreen] = attr[kBlue] = 1.0;
    attr[kTransparency] = attr[kReflection] = 0.0;
    attr[kVisible] = 1.0;
    ++g_layerCount;
}

int FindLayer(std::string_view name)
{
    for (int i = 0; i < g_layerCount; ++i)
        if (g_layerName[i] == name) return i;
    return g_layerCount;
}

bool IsLayerIndexVisible(int index)
{
    return index >= 0 && index < kMaxLayers && g_layerAttr[index][kVisible] != 0.0;
}

void GetLayerIndexColor(int index, double rgb[3])
{
    const bool known = index >= 0 && index < g_layerCount && index < kMaxLayers;
    for (int c = 0; c < 3; ++c) rgb[c] = known ? g_layerAttr[index][c] : 1.0;
}

CLayerLookup::CLayerLookup()
{
    for (int i = g_layerCount - 1; i >= 0; --i) m_index[g_layerName[i]] = i;  // the first of equal names wins
}

int CLayerLookup::Find(const std::string& name)
{
    if (m_lastIndex >= 0 && m_lastName == name) return m_lastIndex;
    const auto it = m_index.find(name);
    m_lastName = name;
    m_lastIndex = it == m_index.end() ? g_layerCount : it->second;
    return m_lastIndex;
}
