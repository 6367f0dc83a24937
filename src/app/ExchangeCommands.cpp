// DXF import with its save question, progress and summary; DXF and POV-Ray export written
// through a temporary file, so a failed export never leaves a truncated file behind.
#include "app/ExchangeCommands.h"

#include "app/DocumentHost.h"
#include "app/DxfFullImportText.h"
#include "app/MainFrame.h"
#include "app/UserPrompts.h"
#include "export/DxfWriter.h"
#include "export/PovWriter.h"
#include "import/DxfFullImport.h"
#include "import/DxfReader.h"
#include "model/FileAccess.h"
#include "model/LayerTable.h"
#include "view/GLView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QStatusBar>

#include <functional>

#include <unistd.h>

namespace {

const char kWarning[] = "ワーニング";

void Warn(CMainFrame& frame, const QString& text)
{
    CUserPrompts::Get().Tell(&frame, QMessageBox::Warning, QString::fromUtf8(kWarning), text);
}

// The status-bar line after an import: what was read, what was dropped and why.
QString ImportSummary(const CDxfImportStats& stats)
{
    QString text;
    if (stats.facesImported == 0) {
        text = QString::fromUtf8("DXF: 面はありませんでした（LINE（厚さ付き）、SOLID、3DFACE だけを読み込みます）");
    } else {
        text = QString::fromUtf8("DXF: %1 面を読み込みました（%2 画層）").arg(stats.facesImported).arg(g_layerCount);
    }
    QStringList dropped;
    if (stats.facesDroppedFirstEdge)
        dropped << QString::fromUtf8("最初の辺が 1.0 以下 %1 面").arg(stats.facesDroppedFirstEdge);
    if (stats.linesWithoutThickness) dropped << QString::fromUtf8("厚さのない LINE %1").arg(stats.linesWithoutThickness);
    if (stats.solidsDropped) dropped << QString::fromUtf8("押し出し方向の不正な SOLID %1").arg(stats.solidsDropped);
    if (!dropped.isEmpty()) text += QString::fromUtf8("。除外: ") + dropped.join(QStringLiteral(", "));
    QStringList skipped;
    for (const auto& [kind, count] : stats.skippedByKind)
        skipped << QStringLiteral("%1 %2").arg(QString::fromStdString(kind)).arg(count);
    if (!skipped.isEmpty()) text += QString::fromUtf8("。読み飛ばした図形: ") + skipped.join(QStringLiteral(", "));
    if (!stats.entitiesFound) text += QString::fromUtf8("。ENTITIES セクションがありません");
    if (stats.binaryDxf) text += QString::fromUtf8("。バイナリ DXF は読めません");
    return text;
}

// Writes `path` through `write`; tells the user and returns false when that fails.
bool WriteExport(CMainFrame& frame, const QString& path, const std::function<bool(CByteSink&)>& write)
{
    std::string error;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = WriteFileAtomically(path.toStdString(), write, error);
    QGuiApplication::restoreOverrideCursor();
    if (!ok) Warn(frame, QString::fromUtf8("%1 に書き込めません\n\n%2").arg(path, QString::fromStdString(error)));
    return ok;
}

}  // namespace

void OnImportDxf(CMainFrame& frame, EDxfImport kind)
{
    CDocumentHost& host = frame.Host();
    CMyvorla_ltView& view = *frame.View();
    const QString path = CUserPrompts::Get().OpenFileName(&frame, QString(), QStringLiteral("*.dxf"));
    if (path.isEmpty()) return;
    // Unsaved changes: Yes saves first. A save that fails or is cancelled stops the import,
    // so the unsaved model is not replaced.
    if (!host.SaveModified()) return;

    CInputFile file;
    std::string error;
    if (!file.Open(path.toStdString(), error)) {
        Warn(frame, QString::fromUtf8("%1 が開けません").arg(path) + QStringLiteral("\n\n") + QString::fromStdString(error));
        return;
    }
    host.SetPathName(QString(), false);
    host.Doc().SetModifiedFlag(false);

    // Nothing may draw or change the model while it is being replaced; a long import shows
    // its progress in a window-modal dialog.
    view.setUpdatesEnabled(false);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QProgressDialog progress(QString::fromUtf8("%1 を読み込んでいます…").arg(path), QString(), 0, 1000, &frame);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setValue(0);
    const double size = double(std::max<std::uint64_t>(file.Size(), 1));
    QElapsedTimer sinceUpdate;
    sinceUpdate.start();
    CFdSource source(file.Fd());
    const auto report = [&](std::uint64_t bytes) {
        if (sinceUpdate.elapsed() < 50) return;
        sinceUpdate.restart();
        progress.setValue(std::min(999, int(bytes / size * 1000)));
    };
    QString summary;
    std::string readError;
    if (kind == EDxfImport::Full) {
        CDxfFullOptions options;
        options.progress = report;
        options.sizeHint = file.Size();
        const CDxfFullStats stats = ImportDxfFull(source, host.Doc(), options);
        summary = DxfFullImportStatusText(stats, g_layerCount);
        readError = stats.readError;
    } else {
        const CDxfImportStats stats = ImportDxf(source, host.Doc(), report, file.Size());
        summary = ImportSummary(stats);
        readError = stats.readError;
        // When the default import left out what can hold faces, one more pass counts what the
        // full import would make, and the summary names it when that is more.
        if (readError.empty() && DxfFullImportMayAddFaces(stats) && ::lseek(file.Fd(), 0, SEEK_SET) == 0) {
            progress.setLabelText(QString::fromUtf8("%1 の面の数を数えています…").arg(path));
            CFdSource again(file.Fd());
            const std::uint64_t full = CountDxfFullFaces(again, report, file.Size());
            // Right after the first sentence, so that a narrow status bar still shows it.
            if (full > stats.facesImported) {
                const int end = summary.indexOf(QString::fromUtf8("。"));
                summary.insert(end < 0 ? summary.size() : end, DxfFullImportHintText(full));
            }
        }
    }
    progress.setValue(1000);
    QGuiApplication::restoreOverrideCursor();
    view.setUpdatesEnabled(true);
    host.NotifyModelReplaced();

    if (!readError.empty()) summary += QString::fromUtf8("。読み込みエラー: ") + QString::fromStdString(readError);
    frame.statusBar()->showMessage(summary);
}

void OnExportDxf(CMainFrame& frame)
{
    const QString path =
        CUserPrompts::Get().SaveFileName(&frame, QString::fromUtf8("DXF ファイル (*.dxf)"), QString(), false);
    if (path.isEmpty()) return;
    if (!IsDxfExportPath(path.toStdString())) {
        Warn(frame, QString::fromUtf8("ファイル拡張子が不正です"));
        return;
    }
    const CShapeList& shapes = frame.Host().Doc().m_shapeList;
    if (!WriteExport(frame, path, [&](CByteSink& sink) { return WriteDxf(sink, shapes); })) return;
    CUserPrompts::Get().Tell(&frame, QMessageBox::Information, QString::fromUtf8("ＤＸＦ"),
                             QString::fromUtf8("DXFデータの書き込みが完了しました"));
}

void OnExportPov(CMainFrame& frame)
{
    const QString path =
        CUserPrompts::Get().SaveFileName(&frame, QString::fromUtf8("POV ファイル (*.pov)"), QString(), false);
    if (path.isEmpty()) return;
    if (!HasPovExtension(path.toStdString())) {
        Warn(frame, QString::fromUtf8("ファイル拡張子が不正です"));
        return;
    }
    const CShapeList& shapes = frame.Host().Doc().m_shapeList;
    if (!WriteExport(frame, path, [&](CByteSink& sink) { return WritePovScene(sink, shapes, PovVariant::Export, nullptr); }))
        return;
    CUserPrompts::Get().Tell(&frame, QMessageBox::Information, QString::fromUtf8("ＰＯＶ"),
                             QString::fromUtf8("POVデータの書き込みが完了しました"));
}
