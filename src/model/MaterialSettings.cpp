// The colour and material dialog's data: the texture list and the layer-table conversions.
#include "model/MaterialSettings.h"

#include "model/DialogFields.h"
#include "model/LayerTable.h"

namespace {

bool IsLayerSlot(int layerIndex) { return layerIndex >= 0 && layerIndex < kMaxLayers; }

std::vector<std::string> MakeTextureList()
{
    std::vector<std::string> list;
    list.reserve(kMaterialTextureCount);
    for (int i = 1; i <= 44; ++i) list.push_back("T_Stone" + std::to_string(i) + " scale 100");
    for (int i = 1; i <= 35; ++i) list.push_back("T_Wood" + std::to_string(i) + " scale 100");
    for (const char* glass : {"T_Glass1", "T_Glass2", "T_Glass3", "T_Glass4", "T_Old_Glass", "T_Winebottle_Glass",
                              "T_Beerbottle_Glass", "T_Ruby_Glass", "T_Green_Glass", "T_Dark_Green_Glass",
                              "T_Yellow_Glass", "T_Orange_Glass", "T_Vicksbottle_Glass"})
        list.push_back(glass);
    list.push_back("pigment { brick color White, color Brown } scale 30");
    return list;
}

}  // namespace

const std::vector<std::string>& MaterialTextureList()
{
    static const std::vector<std::string> list = MakeTextureList();
    return list;
}

int MaterialValueToInteger(double value) { return TruncateToInt(value * 255.0); }

double MaterialIntegerToValue(int value) { return value * kMaterialStep; }

CMaterialSettings LoadMaterialSettings(int layerIndex)
{
    CMaterialSettings settings;
    if (!IsLayerSlot(layerIndex)) return settings;
    const double* attr = g_layerAttr[layerIndex];
    settings.m_red = MaterialValueToInteger(attr[kRed]);
    settings.m_green = MaterialValueToInteger(attr[kGreen]);
    settings.m_blue = MaterialValueToInteger(attr[kBlue]);
    settings.m_transparency = MaterialValueToInteger(attr[kTransparency]);
    settings.m_reflection = MaterialValueToInteger(attr[kReflection]);
    settings.m_texture = g_layerTexture[layerIndex];
    return settings;
}

void StoreMaterialSettings(int layerIndex, const CMaterialSettings& settings)
{
    if (!IsLayerSlot(layerIndex)) return;
    double* attr = g_layerAttr[layerIndex];
    attr[kRed] = MaterialIntegerToValue(settings.m_red);
    attr[kGreen] = MaterialIntegerToValue(settings.m_green);
    attr[kBlue] = MaterialIntegerToValue(settings.m_blue);
    attr[kTransparency] = MaterialIntegerToValue(settings.m_transparency);
    attr[kReflection] = MaterialIntegerToValue(settings.m_reflection);
    g_layerTexture[layerIndex] = settings.m_texture;
}

CMaterialForm MaterialFormFor(const CMaterialSettings& settings)
{
    return {FormatIntegerField(settings.m_transparency), FormatIntegerField(settings.m_reflection),
            ComboShownText(MaterialTextureList(), settings.m_texture)};
}

EMaterialField ReadMaterialForm(const CMaterialForm& form, CMaterialSettings& settings)
{
    const auto transparency = ParseIntegerField(form.transparency, kMaterialMin, kMaterialMax);
    if (!transparency) return EMaterialField::kTransparency;
    const auto reflection = ParseIntegerField(form.reflection, kMaterialMin, kMaterialMax);
    if (!reflection) return EMaterialField::kReflection;
    settings.m_transparency = *transparency;
    settings.m_reflection = *reflection;
    settings.m_texture = form.texture;
    return EMaterialField::kNone;
}
