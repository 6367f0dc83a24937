// What the colour and material dialog edits for one layer: colour, transparency and reflection
// as whole numbers 0..255, and the POV-Ray texture text, with the conversions to and from the
// layer table.
#pragma once

#include <string>
#include <vector>

inline constexpr int kMaterialMin = 0;
inline constexpr int kMaterialMax = 255;
inline constexpr int kMaterialTextureCount = 93;
// 1/255 as the program has always stored it; with truncation on the way back, an untouched
// open-and-confirm can lower a value by one (33 comes back as 32).
inline constexpr double kMaterialStep = 0.00392156862745098;

struct CMaterialSettings {
    int m_red = 0, m_green = 0, m_blue = 0;
    int m_transparency = 0;
    int m_reflection = 0;
    std::string m_texture;  // byte string, stored unchecked

    bool operator==(const CMaterialSettings&) const = default;
};

// The texture combo's entries in their order: T_Stone1..44 and T_Wood1..35 each with
// " scale 100", the 13 glasses, the brick pigment.
const std::vector<std::string>& MaterialTextureList();

// Layer value 0..1 to the dialog's integer: truncation of value * 255.0.
int MaterialValueToInteger(double value);
double MaterialIntegerToValue(int value);

// Opening the dialog for layer `layerIndex` (0..99): its red, green, blue, transparency,
// reflection and texture. The visibility is not part of it.
CMaterialSettings LoadMaterialSettings(int layerIndex);
// OK: stores the five values and the texture back into the layer.
void StoreMaterialSettings(int layerIndex, const CMaterialSettings& settings);

// The dialog's fields as text.
struct CMaterialForm {
    std::string transparency;
    std::string reflection;
    std::string texture;  // what the combo shows: the first entry it begins with, else itself
};

enum class EMaterialField { kNone, kTransparency, kReflection };

CMaterialForm MaterialFormFor(const CMaterialSettings& settings);

// OK pressed: checks the fields in the dialog's order. On success fills transparency,
// reflection and texture of `settings` and returns kNone; otherwise returns the first field
// that is not a whole number 0..255 and leaves `settings` as it was.
EMaterialField ReadMaterialForm(const CMaterialForm& form, CMaterialSettings& settings);
