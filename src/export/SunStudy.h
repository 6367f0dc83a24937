// A sun study: one picture per hour of a day with the sun of each hour, their file names and
// labels, and the grid of the contact sheet that shows them side by side.
#pragma once

#include <string>
#include <vector>

// The hours of a series: from `from` to `to` (inclusive), every `step` hours.
struct CSunStudyHours {
    double from = 8.0;
    double to = 16.0;
    double step = 1.0;
};

inline constexpr int kMaxSunStudyPictures = 200;
// The contact sheet written beside the pictures.
inline constexpr char kContactSheetFile[] = "sun-study.png";

enum class ESunStudyHours {
    kOk,
    kFromOutOfRange,  // from not within 0..24
    kToOutOfRange,    // to not within 0..24
    kToBeforeFrom,
    kStepTooSmall,    // under a minute, or not a number
    kTooMany,         // more than kMaxSunStudyPictures pictures
};

ESunStudyHours CheckSunStudyHours(const CSunStudyHours& hours);

// The hours of the series, from + i·step up to `to` (a step that does not divide the span
// ends before `to`). Empty unless CheckSunStudyHours accepts them.
std::vector<double> SunStudyHourList(const CSunStudyHours& hours);

// An hour as the clock shows it, rounded to the minute: 8.5 gives hours 8 and minutes 30.
struct CClockTime {
    int hours = 0;
    int minutes = 0;
};
CClockTime ClockTimeOf(double hour);

// "hour-08.30.png": the file of the picture of that hour.
std::string SunStudyPictureName(double hour);
// "08:30": its label on the contact sheet.
std::string SunStudyLabel(double hour);

// Where the pictures go on the contact sheet: a grid of `columns` cells, each a picture scaled
// to `cellWidth` × `pictureHeight` (never enlarged, at most kSheetPictureWidth wide) with its
// label in a band of `labelHeight` under it, `margin` around and between the cells.
inline constexpr int kSheetPictureWidth = 320;
struct CContactSheetLayout {
    int columns = 0, rows = 0;
    int cellWidth = 0, pictureHeight = 0, labelHeight = 0, margin = 0;
    int width = 0, height = 0;  // the whole sheet
    // Top left corner of picture i (its label is under it).
    int PictureX(int i) const { return margin + (i % columns) * (cellWidth + margin); }
    int PictureY(int i) const { return margin + (i / columns) * (pictureHeight + labelHeight + margin); }
};
CContactSheetLayout SunStudySheetLayout(int count, int pictureWidth, int pictureHeight);
