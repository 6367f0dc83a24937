// The hours, names and contact-sheet grid of a sun study.
#include "export/SunStudy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kMinute = 1.0 / 60.0;

// Room for the last hour despite the rounding of repeated steps (a thousandth of a second).
constexpr double kHourSlack = 1e-7;

}  // namespace

ESunStudyHours CheckSunStudyHours(const CSunStudyHours& hours)
{
    const auto inDay = [](double h) { return h >= 0.0 && h <= 24.0; };
    if (!inDay(hours.from)) return ESunStudyHours::kFromOutOfRange;
    if (!inDay(hours.to)) return ESunStudyHours::kToOutOfRange;
    if (hours.to < hours.from) return ESunStudyHours::kToBeforeFrom;
    if (!(hours.step >= kMinute - kHourSlack)) return ESunStudyHours::kStepTooSmall;
    if (std::floor((hours.to - hours.from) / hours.step + kHourSlack) + 1 > kMaxSunStudyPictures)
        return ESunStudyHours::kTooMany;
    return ESunStudyHours::kOk;
}

std::vector<double> SunStudyHourList(const CSunStudyHours& hours)
{
    std::vector<double> list;
    if (CheckSunStudyHours(hours) != ESunStudyHours::kOk) return list;
    // Multiplying instead of adding keeps the rounding of one step from piling up.
    for (int i = 0;; ++i) {
        const double hour = hours.from + i * hours.step;
        if (hour > hours.to + kHourSlack) break;
        list.push_back(std::min(hour, hours.to));
    }
    return list;
}

CClockTime ClockTimeOf(double hour)
{
    const long minutes = std::lround(std::clamp(hour, 0.0, 24.0) * 60.0);
    return {static_cast<int>(minutes / 60), static_cast<int>(minutes % 60)};
}

std::string SunStudyPictureName(double hour)
{
    const CClockTime time = ClockTimeOf(hour);
    char name[32];
    std::snprintf(name, sizeof name, "hour-%02d.%02d.png", time.hours, time.minutes);
    return name;
}

std::string SunStudyLabel(double hour)
{
    const CClockTime time = ClockTimeOf(hour);
    char label[16];
    std::snprintf(label, sizeof label, "%02d:%02d", time.hours, time.minutes);
    return label;
}

CContactSheetLayout SunStudySheetLayout(int count, int pictureWidth, int pictureHeight)
{
    CContactSheetLayout layout;
    if (count <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return layout;
    layout.columns = static_cast<int>(std::ceil(std::sqrt(double(count))));
    layout.rows = (count + layout.columns - 1) / layout.columns;
    layout.cellWidth = std::min(pictureWidth, kSheetPictureWidth);
    layout.pictureHeight =
        std::max(1, static_cast<int>(std::lround(double(pictureHeight) * layout.cellWidth / pictureWidth)));
    layout.labelHeight = 24;
    layout.margin = 8;
    layout.width = layout.margin + layout.columns * (layout.cellWidth + layout.margin);
    layout.height = layout.margin + layout.rows * (layout.pictureHeight + layout.labelHeight + layout.margin);
    return layout;
}
