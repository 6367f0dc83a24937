// Colours of DXF entities and layers: the 256-entry AutoCAD colour index, true colours
// (group 420), and the ByLayer and ByBlock references an entity's colour can be.
#pragma once

#include <cstdint>

// An entity's colour as written: a colour of its own, or the colour of its layer or of the
// INSERT that places its block.
struct CDxfColour {
    enum class EBy : std::uint8_t { Layer, Block, Own };
    EBy by = EBy::Layer;
    float rgb[3] = {1, 1, 1};  // EBy::Own only
};

// Red, green and blue (0 to 255) of colour index 1 to 255; white for any other number.
std::uint32_t DxfAciRgb(int index);

// Red, green and blue as 0 to 1.
void DxfRgbFloats(std::uint32_t rgb, float out[3]);

// The colour of an entity from its group 62 (256, ByLayer, when absent; 0 ByBlock) and its
// group 420 when it has one. Numbers past 256 or below 0 count as ByLayer.
CDxfColour DxfEntityColour(int aci, bool hasTrueColour, std::int32_t trueColour);
