// What the sun study dialog edits: the site (season, latitude, true north), the hours of the
// series and the output folder, and how its text fields are read and refused.
#pragma once

#include "export/SunPosition.h"
#include "export/SunStudy.h"

#include <string>

struct CSunStudySettings {
    std::string m_season;  // one of SeasonList() (UTF-8)
    int m_north = 0;       // whole degrees, as the render settings hold it
    double m_latitude = 36.0;
    CSunStudyHours m_hours;
    std::string m_folder;  // UTF-8 path
};

// Season, latitude and north from the scene settings (a declination other than the four
// seasons shows as "なし"); the hours 8 to 16 every hour; no folder.
CSunStudySettings SunStudySettingsFromScene();

// The site the pictures are lit for.
CSunSite SunSiteOf(const CSunStudySettings& settings);

struct CSunStudyForm {
    std::string season, north, latitude, from, to, step, folder;
};

enum class ESunStudyField { kNone, kNorth, kLatitude, kFrom, kTo, kStep, kFolder };

CSunStudyForm SunStudyFormFor(const CSunStudySettings& settings);

// OK pressed: checks north, latitude, the first hour, the last hour, the step and the folder,
// in this order. On success fills `settings` and returns kNone; otherwise returns the first
// refused field with what to tell the user, and leaves `settings` as it was.
ESunStudyField ReadSunStudyForm(const CSunStudyForm& form, CSunStudySettings& settings, std::string& message);
