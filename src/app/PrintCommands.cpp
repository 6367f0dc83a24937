// The printed page holds the picture the view shows, scaled to the page with its aspect kept.
#include "app/PrintCommands.h"

#include "app/MainFrame.h"
#include "view/GLView.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

void PrintPicture(QPrinter& printer, const QImage& picture)
{
    QPainter painter(&printer);
    if (!painter.isActive()) return;
    const QRect page = painter.viewport();
    QSize size = picture.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x() + (page.width() - size.width()) / 2, page.y(), size.width(), size.height());
    painter.setWindow(picture.rect());
    painter.drawImage(0, 0, picture);
}

}  // namespace

void OnFilePrint(CMainFrame& frame)
{
    QPrintDialog dialog(&frame.Printer(), &frame);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintPicture(frame.Printer(), frame.ViewPicture());
}

void OnFilePrintPreview(CMainFrame& frame)
{
    const QImage picture = frame.ViewPicture();
    QPrintPreviewDialog preview(&frame.Printer(), &frame);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&picture](QPrinter* printer) { PrintPicture(*printer, picture); });
    preview.resize(800, 600);
    preview.exec();
}

void OnFilePrintSetup(CMainFrame& frame)
{
    QPageSetupDialog dialog(&frame.Printer(), &frame);
    dialog.exec();
}
