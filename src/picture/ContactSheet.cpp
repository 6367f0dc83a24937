// Painting the contact sheet: a grey ground, each picture scaled into its cell, its label
// centred in the band below it.
#include "picture/ContactSheet.h"

#include "export/SunStudy.h"
#include "model/FileAccess.h"

#include <QBuffer>
#include <QFont>
#include <QPainter>

bool DrawContactSheet(const std::vector<CSheetPicture>& pictures, QImage& sheet, QString& error)
{
    std::vector<QImage> images;
    for (const CSheetPicture& picture : pictures) {
        QImage image(picture.path);
        if (image.isNull()) {
            error = picture.path + QStringLiteral(": not a readable picture");
            return false;
        }
        images.push_back(image);
    }
    if (images.empty()) {
        error = QStringLiteral("no pictures for the contact sheet");
        return false;
    }
    const CContactSheetLayout layout =
        SunStudySheetLayout(int(images.size()), images.front().width(), images.front().height());
    sheet = QImage(layout.width, layout.height, QImage::Format_RGB32);
    // A light grey ground keeps a picture of white ground apart from its neighbours.
    sheet.fill(QColor(216, 216, 216));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = painter.font();
    font.setPixelSize(layout.labelHeight * 2 / 3);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int i = 0; i < int(images.size()); ++i) {
        const QRect cell(layout.PictureX(i), layout.PictureY(i), layout.cellWidth, layout.pictureHeight);
        painter.drawImage(cell, images[std::size_t(i)]);
        const QRect band(cell.left(), cell.bottom() + 1, cell.width(), layout.labelHeight);
        painter.drawText(band, Qt::AlignCenter, pictures[std::size_t(i)].label);
    }
    return true;
}

bool WriteContactSheet(const std::vector<CSheetPicture>& pictures, const QString& path, QString& error)
{
    QImage sheet;
    if (!DrawContactSheet(pictures, sheet, error)) return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!sheet.save(&buffer, "PNG")) {
        error = path + QStringLiteral(": the picture could not be encoded as PNG");
        return false;
    }
    std::string why;
    const bool ok = WriteFileAtomically(
        path.toStdString(), [&](CByteSink& sink) { return sink.Write(bytes.constData(), std::size_t(bytes.size())); },
        why);
    if (!ok) error = path + QStringLiteral(": ") + QString::fromStdString(why);
    return ok;
}
