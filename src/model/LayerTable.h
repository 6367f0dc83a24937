// The process-wide layer table: names, six values per layer and POV-Ray texture texts.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

inline constexpr int kMaxLayers = 100;      // room in the table (a model file may fill it)
inline constexpr int kTextureSlots = 102;
inline constexpr int kAddLayerLimit = 99;   // AddLayer and insertion stop at this count

// Indices into one layer's six values.
enum ELayerAttr { kRed = 0, kGreen, kBlue, kTransparency, kReflection, kVisible, kLayerAttrCount };

extern int g_layerCount;
extern std::string g_layerName[kMaxLayers];
extern double g_layerAttr[kMaxLayers][kLayerAttrCount];
extern std::string g_layerTexture[kTextureSlots];

// Adds a white, opaque, visible layer unless the name exists or 99 layers are in use.
// The texture slot of the new index keeps whatever text it held.
void AddLayer(std::string_view name);

// Index of the first layer whose name equals `name` byte for byte, or g_layerCount.
int FindLayer(std::string_view name);

// Visibility of a lookup result. The first free slot decides for an unmatched name; when
// the table is full there is no free slot and such a face counts as hidden.
bool IsLayerIndexVisible(int index);

// Colour of a lookup result: the layer's colour, white for an unmatched name.
void GetLayerIndexColor(int index, double rgb[3]);

// FindLayer for passes over many faces: each name is searched once, and the last name answers
// runs of faces on one layer at once. Valid while the layer table does not change.
class CLayerLookup {
public:
    CLayerLookup();
    int Find(const std::string& name);
    bool IsVisible(const std::string& name) { return IsLayerIndexVisible(Find(name)); }

private:
    std::unordered_map<std::string, int> m_index;
    std::string m_lastName;
    int m_lastIndex = -1;  // -1 until a first name was looked up
};
