// The hours of a sun study with their file names, the contact sheet's grid, and the dialog's
// refusals.
#include "export/SunStudySettings.h"
#include "model/SceneSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

TEST(SunStudy, HoursAndTheirNames)
{
    using Names = std::vector<std::string>;
    const struct {
        CSunStudyHours hours;
        Names names;
    } cases[] = {
        {{8, 10, 1}, {"hour-08.00.png", "hour-09.00.png", "hour-10.00.png"}},
        {{8, 9, 0.25}, {"hour-08.00.png", "hour-08.15.png", "hour-08.30.png", "hour-08.45.png", "hour-09.00.png"}},
        {{8, 9, 1.0 / 3}, {"hour-08.00.png", "hour-08.20.png", "hour-08.40.png", "hour-09.00.png"}},
        {{8, 16, 3}, {"hour-08.00.png", "hour-11.00.png", "hour-14.00.png"}},  // 16 is not reached
        {{12.5, 12.5, 1}, {"hour-12.30.png"}},
        {{0, 24, 24}, {"hour-00.00.png", "hour-24.00.png"}},
        {{8, 8.1, 0.1}, {"hour-08.00.png", "hour-08.06.png"}},  // rounding must not lose the last hour
    };
    for (const auto& c : cases) {
        Names names;
        for (double hour : SunStudyHourList(c.hours)) names.push_back(SunStudyPictureName(hour));
        EXPECT_EQ(names, c.names) << c.hours.from << " " << c.hours.to << " " << c.hours.step;
    }
    EXPECT_EQ(SunStudyLabel(13.75), "13:45");
    EXPECT_EQ(SunStudyLabel(9.9999), "10:00");

    const struct {
        CSunStudyHours hours;
        ESunStudyHours result;
    } refused[] = {
        {{-1, 10, 1}, ESunStudyHours::kFromOutOfRange}, {{8, 24.5, 1}, ESunStudyHours::kToOutOfRange},
        {{10, 8, 1}, ESunStudyHours::kToBeforeFrom},    {{8, 9, 0}, ESunStudyHours::kStepTooSmall},
        {{8, 9, -1}, ESunStudyHours::kStepTooSmall},    {{8, 9, 0.5 / 60}, ESunStudyHours::kStepTooSmall},
        {{0, 24, 0.1}, ESunStudyHours::kTooMany},       {{8, 9, NAN}, ESunStudyHours::kStepTooSmall},
    };
    for (const auto& c : refused) {
        EXPECT_EQ(CheckSunStudyHours(c.hours), c.result) << c.hours.from << " " << c.hours.to << " " << c.hours.step;
        EXPECT_TRUE(SunStudyHourList(c.hours).empty());
    }
    EXPECT_EQ(SunStudyHourList({0, 24, 24.0 / (kMaxSunStudyPictures - 1)}).size(), std::size_t(kMaxSunStudyPictures));
}

TEST(SunStudy, ContactSheetGridHoldsEveryPictureWithItsLabel)
{
    const CContactSheetLayout nine = SunStudySheetLayout(9, 640, 480);
    EXPECT_EQ(nine.columns, 3);
    EXPECT_EQ(nine.rows, 3);
    EXPECT_EQ(nine.cellWidth, 320);
    EXPECT_EQ(nine.pictureHeight, 240);
    EXPECT_EQ(nine.PictureX(4), nine.margin + 320 + nine.margin);
    EXPECT_EQ(nine.PictureY(8), nine.margin + 2 * (240 + nine.labelHeight + nine.margin));
    EXPECT_EQ(nine.width, nine.PictureX(2) + 320 + nine.margin);
    EXPECT_EQ(nine.height, nine.PictureY(8) + 240 + nine.labelHeight + nine.margin);

    const CContactSheetLayout five = SunStudySheetLayout(5, 96, 72);  // small pictures keep their size
    EXPECT_EQ(five.columns, 3);
    EXPECT_EQ(five.rows, 2);
    EXPECT_EQ(five.cellWidth, 96);
    EXPECT_EQ(five.pictureHeight, 72);
    EXPECT_EQ(SunStudySheetLayout(0, 96, 72).width, 0);
}

TEST(SunStudy, DialogRefusesFieldsInOrderAndTakesTheSceneSite)
{
    g_season = 30.0;
    g_latitude = 35.5;
    g_north = 12.7;
    const CSunStudySettings start = SunStudySettingsFromScene();
    EXPECT_EQ(start.m_season, "夏至");
    EXPECT_EQ(start.m_north, 12);
    const CSunSite site = SunSiteOf(start);
    EXPECT_EQ(site.season, 30.0);
    EXPECT_EQ(site.latitude, 35.5);
    EXPECT_EQ(site.north, 12.0);
    g_season = 10.0;
    EXPECT_EQ(SunStudySettingsFromScene().m_season, "なし");

    CSunStudyForm good = SunStudyFormFor(start);
    good.folder = "/tmp/study";
    EXPECT_EQ(good.from, "8");
    EXPECT_EQ(good.step, "1");
    const struct {
        std::string CSunStudyForm::*field;
        const char* text;
        ESunStudyField refused;
    } cases[] = {
        {&CSunStudyForm::north, "12.5", ESunStudyField::kNorth}, {&CSunStudyForm::latitude, "91", ESunStudyField::kLatitude},
        {&CSunStudyForm::from, "8,5", ESunStudyField::kFrom},    {&CSunStudyForm::to, "25", ESunStudyField::kTo},
        {&CSunStudyForm::to, "7", ESunStudyField::kTo},          {&CSunStudyForm::step, "0", ESunStudyField::kStep},
        {&CSunStudyForm::step, "0.001", ESunStudyField::kStep},  {&CSunStudyForm::folder, "  ", ESunStudyField::kFolder},
        {&CSunStudyForm::step, "0.25", ESunStudyField::kNone},
    };
    for (const auto& c : cases) {
        CSunStudyForm form = good;
        form.*c.field = c.text;
        CSunStudySettings settings = start;
        std::string message;
        EXPECT_EQ(ReadSunStudyForm(form, settings, message), c.refused) << c.text;
        EXPECT_EQ(message.empty(), c.refused == ESunStudyField::kNone) << c.text;
        if (c.refused != ESunStudyField::kNone) {
            EXPECT_EQ(settings.m_folder, start.m_folder) << "unchanged when refused: " << c.text;
        } else {
            EXPECT_EQ(settings.m_hours.step, 0.25);
            EXPECT_EQ(settings.m_folder, "/tmp/study");
        }
    }
}
