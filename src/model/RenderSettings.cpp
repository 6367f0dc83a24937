// The render settings dialog's data: combo lists, the season mapping both ways, and the copy
// between the dialog and the scene settings.
#include "model/RenderSettings.h"

#include "model/DialogFields.h"
#include "model/SceneSettings.h"

namespace {

struct CSeasonRow {
    const char* text;
    double value;
};

// Declinations in degrees; the solstices are 30, not 23.44, as scenes have always used.
constexpr CSeasonRow kSeasons[] = {
    {"なし", -1.0},
    {"春分，秋分", 0.0},
    {"夏至", 30.0},
    {"冬至", -30.0},
};

}  // namespace

const std::vector<std::string>& SkyList()
{
    static const std::vector<std::string> list = {
        "S_Cloud1",
        "S_Cloud2",
        "S_Cloud3",
        "S_Cloud4",
        "S_Cloud5",
        "pigment {P_Cloud1}",
        "pigment {P_Cloud2}",
        "pigment {P_Cloud3}",
        "pigment {Blue_Sky} ",
        "pigment { Bright_Blue_Sky} ",
        "pigment { Blue_Sky2} ",
        "pigment { Blue_Sky3} ",
        "pigment { Blood_Sky} ",
        "pigment { Apocalypse} ",
        "pigment { Clouds} ",
    };
    return list;
}

const std::vector<std::string>& GroundList()
{
    static const std::vector<std::string> list = {
        "pigment { color White } finish { reflection 0.3 }",
        "pigment { checker color White, color Black } scale 300",
    };
    return list;
}

const std::vector<std::string>& SeasonList()
{
    static const std::vector<std::string> list = {kSeasons[0].text, kSeasons[1].text, kSeasons[2].text,
                                                  kSeasons[3].text};
    return list;
}

std::string SeasonTextFor(double season)
{
    std::string text;
    for (const CSeasonRow& row : kSeasons)
        if (season == row.value) text = row.text;
    return text;
}

double SeasonValueFor(std::string_view text)
{
    double value = -1.0;
    for (const CSeasonRow& row : kSeasons)
        if (text == row.text) value = row.value;
    return value;
}

CRenderSettings LoadRenderSettings()
{
    CRenderSettings settings;
    settings.m_sky = g_sky;
    settings.m_ground = g_ground;
    settings.m_north = TruncateToInt(g_north);
    settings.m_latitude = g_latitude;
    settings.m_hour = g_hour;
    settings.m_season = SeasonTextFor(g_season);
    return settings;
}

void StoreRenderSettings(const CRenderSettings& settings)
{
    g_sky = settings.m_sky;
    g_ground = settings.m_ground;
    g_north = settings.m_north;
    g_latitude = settings.m_latitude;
    g_hour = settings.m_hour;
    g_season = SeasonValueFor(settings.m_season);
}

CRenderSettingsForm RenderSettingsFormFor(const CRenderSettings& settings)
{
    CRenderSettingsForm form;
    form.sky = ComboShownText(SkyList(), settings.m_sky);
    form.north = FormatIntegerField(settings.m_north);
    form.latitude = FormatNumberField(settings.m_latitude);
    form.hour = FormatNumberField(settings.m_hour);
    form.season = ComboShownText(SeasonList(), settings.m_season);
    form.ground = ComboShownText(GroundList(), settings.m_ground);
    return form;
}

ERenderField ReadRenderSettingsForm(const CRenderSettingsForm& form, CRenderSettings& settings)
{
    const auto north = ParseIntegerField(form.north, kNorthMin, kNorthMax);
    if (!north) return ERenderField::kNorth;
    const auto latitude = ParseNumberField(form.latitude, kLatitudeMin, kLatitudeMax);
    if (!latitude) return ERenderField::kLatitude;
    const auto hour = ParseNumberField(form.hour, kHourMin, kHourMax);
    if (!hour) return ERenderField::kHour;
    settings.m_sky = form.sky;
    settings.m_north = *north;
    settings.m_latitude = *latitude;
    settings.m_hour = *hour;
    settings.m_season = form.season;
    settings.m_ground = form.ground;
    return ERenderField::kNone;
}
