// The contact sheet of a sun study: its pictures side by side in a grid, each labelled with
// its hour, drawn with QPainter and written as PNG.
#pragma once

#include <QImage>
#include <QString>

#include <string>
#include <vector>

struct CSheetPicture {
    QString path;   // a picture of the series
    QString label;  // its hour, "08:30"
};

// The sheet of `pictures` in the grid of SunStudySheetLayout, sized from the first picture
// (the others are scaled into the same cells). Needs a QGuiApplication for the label font.
// A picture that cannot be read makes it fail, naming the file.
bool DrawContactSheet(const std::vector<CSheetPicture>& pictures, QImage& sheet, QString& error);

// Draws the sheet and writes it to `path` as PNG, replacing `path` only when it is complete.
bool WriteContactSheet(const std::vector<CSheetPicture>& pictures, const QString& path, QString& error);
