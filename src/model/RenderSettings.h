// What the render settings dialog edits: sky and ground texts, true north, latitude, season
// and hour, copied in from the scene settings and back on OK, with the combo lists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr int kNorthMin = 0, kNorthMax = 360;
inline constexpr double kLatitudeMin = -90.0, kLatitudeMax = 90.0;
inline constexpr double kHourMin = 0.0, kHourMax = 24.0;

// Combo entries in their order. Seven sky entries end in a blank that belongs to them.
const std::vector<std::string>& SkyList();     // 15 entries
const std::vector<std::string>& GroundList();  // 2 entries
const std::vector<std::string>& SeasonList();  // "なし", "春分，秋分", "夏至", "冬至" (UTF-8)

// The season text shown for a declination: one of the four exact values, else empty.
std::string SeasonTextFor(double season);
// The declination stored for a season text: the row whose text is equal byte for byte,
// else -1.0 (as for "なし"), so a partial text such as "冬" stores -1.0.
double SeasonValueFor(std::string_view text);

struct CRenderSettings {
    std::string m_sky;
    int m_north = 0;  // whole degrees
    double m_latitude = 0.0;
    double m_hour = 0.0;
    std::string m_season;
    std::string m_ground;

    bool operator==(const CRenderSettings&) const = default;
};

// Copies in from the scene settings: north truncated toward zero, the season as its text.
CRenderSettings LoadRenderSettings();
// OK: copies back into the scene settings, the season through SeasonValueFor.
void StoreRenderSettings(const CRenderSettings& settings);

// The dialog's fields as text; the three combos show the first entry their text begins with.
struct CRenderSettingsForm {
    std::string sky, north, latitude, hour, season, ground;
};

enum class ERenderField { kNone, kNorth, kLatitude, kHour };

CRenderSettingsForm RenderSettingsFormFor(const CRenderSettings& settings);

// OK pressed: checks north (whole number 0..360), latitude (-90..90) and hour (0..24) in this
// order. On success fills `settings` and returns kNone; otherwise returns the first refused
// field and leaves `settings` as it was.
ERenderField ReadRenderSettingsForm(const CRenderSettingsForm& form, CRenderSettings& settings);
