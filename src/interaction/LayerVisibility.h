// Layer visibility of many faces in one pass: the layer lookup by name, remembered per name so a
// million faces do not each search the layer table. Valid while the layer table is unchanged.
#pragma once

#include <string>
#include <unordered_map>

class CLayerVisibility {
public:
    // Whether a face on this layer is shown: the first layer of that name, else the first free
    // slot, decides (FindLayer and IsLayerIndexVisible).
    bool IsVisible(const std::string& layer);

private:
    // Faces of one layer usually follow each other, so the last name answers most questions.
    std::string m_lastName;
    bool m_lastVisible = false;
    bool m_hasLast = false;
    std::unordered_map<std::string, bool> m_known;
};
