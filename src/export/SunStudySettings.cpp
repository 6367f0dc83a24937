// The sun study dialog's data: copied in from the scene settings, read back and checked on OK.
#include "export/SunStudySettings.h"

#include "model/DialogFields.h"
#include "model/RenderSettings.h"
#include "model/SceneSettings.h"

CSunStudySettings SunStudySettingsFromScene()
{
    CSunStudySettings settings;
    settings.m_season = SeasonTextFor(g_season);
    if (settings.m_season.empty()) settings.m_season = SeasonList()[0];
    settings.m_north = TruncateToInt(g_north);
    settings.m_latitude = g_latitude;
    return settings;
}

CSunSite SunSiteOf(const CSunStudySettings& settings)
{
    return {double(settings.m_north), SeasonValueFor(settings.m_season), settings.m_latitude};
}

CSunStudyForm SunStudyFormFor(const CSunStudySettings& settings)
{
    CSunStudyForm form;
    form.season = settings.m_season;
    form.north = FormatIntegerField(settings.m_north);
    form.latitude = FormatNumberField(settings.m_latitude);
    form.from = FormatNumberField(settings.m_hours.from);
    form.to = FormatNumberField(settings.m_hours.to);
    form.step = FormatNumberField(settings.m_hours.step);
    form.folder = settings.m_folder;
    return form;
}

ESunStudyField ReadSunStudyForm(const CSunStudyForm& form, CSunStudySettings& settings, std::string& message)
{
    const auto north = ParseIntegerField(form.north, kNorthMin, kNorthMax);
    if (!north) return message = IntegerFieldMessage(kNorthMin, kNorthMax), ESunStudyField::kNorth;
    const auto latitude = ParseNumberField(form.latitude, kLatitudeMin, kLatitudeMax);
    if (!latitude) return message = NumberFieldMessage(kLatitudeMin, kLatitudeMax), ESunStudyField::kLatitude;
    const auto from = ParseNumberField(form.from, kHourMin, kHourMax);
    if (!from) return message = NumberFieldMessage(kHourMin, kHourMax), ESunStudyField::kFrom;
    const auto to = ParseNumberField(form.to, kHourMin, kHourMax);
    if (!to) return message = NumberFieldMessage(kHourMin, kHourMax), ESunStudyField::kTo;
    if (*to < *from) return message = "終わりの時刻は始めの時刻より前にできません。", ESunStudyField::kTo;
    const auto step = ParseNumberField(form.step, 0.0, kHourMax);
    const CSunStudyHours hours{*from, *to, step.value_or(0.0)};
    switch (CheckSunStudyHours(hours)) {
    case ESunStudyHours::kOk: break;
    case ESunStudyHours::kTooMany:
        message = "画像が多すぎます。" + FormatIntegerField(kMaxSunStudyPictures) + " 枚以下になるよう間隔を広げてください。";
        return ESunStudyField::kStep;
    default:
        message = "間隔は 1 分（0.0167 時間）から 24 時間までの数値を入力してください。";
        return ESunStudyField::kStep;
    }
    if (form.folder.find_first_not_of(' ') == std::string::npos)
        return message = "出力フォルダーを指定してください。", ESunStudyField::kFolder;
    settings.m_season = form.season;
    settings.m_north = *north;
    settings.m_latitude = *latitude;
    settings.m_hours = hours;
    settings.m_folder = form.folder;
    return ESunStudyField::kNone;
}
