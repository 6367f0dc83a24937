// DXF import with its save question, progress, undo step and summary; DXF and POV-Ray export written
// through a temporary file, so a failed export never leaves a truncated file behind.
#include "app/ExchangeCommands.h"

#include "app/DocumentHost.h"
#include "app/DxfFullImportText.h"
#include "app/FileReadTask.h"
#include "app/FileReasons.h"
#include "app/MainFrame.h"
#include "app/UserPrompts.h"
#include "export/DxfWriter.h"
#include "export/PovWriter.h"
#include "import/DxfFullImport.h"
#include "import/DxfReader.h"
#include "model/FileAccess.h"
#include "model/LayerTable.h"
#include "model/ModelEdits.h"
#include "view/GLView.h"

#include <QApplication>
#include <QStatusBar>

#include <functional>

#include <unistd.h>

namespace {

const char kWarning[] = "ワーニング";

void Warn(CMainFrame& frame, const QString& text)
{
    CUserPrompts::Get().Tell(&frame, QMessageBox::Warning, QString::fromUtf8(kWarning), text);
}

// The status-bar line after an import: why nothing came first, when nothing came; then what was
// read, what was dropped and why.
QString ImportSummary(const CDxfImportStats& stats, int layerCount)
{
    QString text = QStringLiteral("DXF: ");
    if (stats.facesImported == 0) {
        if (stats.binaryDxf)
            return text + QString::fromUtf8("バイナリ DXF は読めません（DXF テキスト ファイルだけを読み込みます）。面はありませんでした");
        if (!stats.entitiesFound) text += QString::fromUtf8("ENTITIES セクションがありません。");
        text += QString::fromUtf8("面はありませんでした（LINE（厚さ付き）、SOLID、3DFACE だけを読み込みます）");
    } else {
        text += QString::fromUtf8("%1 面を読み込みました（%2 画層）").arg(stats.facesImported).arg(layerCount);
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
    return text;
}

// Writes `path` through `write`; tells the user and returns false when that fails.
bool WriteExport(CMainFrame& frame, const QString& path, const std::function<bool(CByteSink&)>& write)
{
    CFileProblem problem;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = WriteFileAtomically(path.toStdString(), write, problem);
    QGuiApplication::restoreOverrideCursor();
    if (!ok) Warn(frame, QString::fromUtf8("%1 に書き込めません\n\n%2").arg(path, JapaneseReason(problem)));
    return ok;
}

// The full import says it ran out of memory in these words (and then keeps no faces).
bool IsMemoryFailure(const std::string& readError)
{
    return readError.rfind("not enough memory", 0) == 0 || readError.rfind("too many faces", 0) == 0;
}

}  // namespace

void OnImportDxf(CMainFrame& frame, EDxfImport kind, const QString& givenPath)
{
    CDocumentHost& host = frame.Host();
    if (host.IsReading()) return;
    QString path = givenPath;
    if (path.isEmpty())
        path = CUserPrompts::Get().OpenFileName(
            &frame, QString::fromUtf8("DXF ファイル (*.dxf);;すべてのファイル (*)"), QString());
    if (path.isEmpty()) return;
    // Unsaved changes: Yes saves first. A save that fails or is cancelled stops the import,
    // so the unsaved model is not replaced.
    if (!host.SaveModified()) return;

    CInputFile file;
    CFileProblem problem;
    if (!file.Open(path.toStdString(), problem)) {
        Warn(frame, QString::fromUtf8("%1 が開けません").arg(path) + QStringLiteral("\n\n") + JapaneseReason(problem));
        return;
    }
    // The drawing is read into a model aside; the model shown stays as it is until the
    // reading has finished, and stays altogether when it is stopped or runs out of memory.
    CDxfImportAside aside;
    CDxfFullModel full;
    std::uint64_t fullFaces = 0;
    int systemError = 0;
    const bool finished = CFileReadTask::Run(host, path, file, [&](CByteSource& source) {
        if (kind == EDxfImport::Full) {
            CDxfFullOptions options;
            options.sizeHint = file.Size();
            full = ReadDxfFull(source, options);
        } else {
            aside = ReadDxfAside(source, {}, file.Size());
            // When the default import left out what can hold faces, one more pass counts what
            // the full import would make, and the summary names it when that is more.
            if (aside.stats.readError.empty() && DxfFullImportMayAddFaces(aside.stats) &&
                ::lseek(file.Fd(), 0, SEEK_SET) == 0)
                fullFaces = CountDxfFullFaces(source, {}, file.Size());
        }
        systemError = source.SystemError();
    });
    if (!finished) return;
    if (aside.memoryFailed) {
        Warn(frame, QString::fromUtf8("%1 を読み込めません").arg(path) + QStringLiteral("\n\n") +
                        JapaneseReason(aside.memoryProblem));
        return;
    }
    if (kind == EDxfImport::Full && IsMemoryFailure(full.stats.readError)) {
        Warn(frame, QString::fromUtf8("%1 を読み込めません\n\nメモリが足りません").arg(path));
        return;
    }

    const CDxfImportStats stats = aside.stats;
    const CDxfFullStats fullStats = full.stats;
    const QString previousPath = host.PathName();
    std::shared_ptr<CModelReplacement> record = CModelReplacement::Replace(host.Doc(), [&](CMyvorla_ltDoc& doc) {
        if (kind == EDxfImport::Full)
            ApplyDxfFull(full, doc);
        else
            ApplyDxfImport(std::move(aside), doc);
    });
    const std::uint64_t faces = kind == EDxfImport::Full ? fullStats.facesMade : stats.facesImported;
    host.SetPathName(QString(), false);
    host.History().RecordReplacement(std::move(record), previousPath, faces > 0);
    host.NotifyModelReplaced();

    QString summary;
    std::string readError;
    if (kind == EDxfImport::Full) {
        summary = DxfFullImportStatusText(fullStats, g_layerCount);
        readError = fullStats.readError;
    } else {
        summary = ImportSummary(stats, g_layerCount);
        readError = stats.readError;
        // Right after the first sentence, so that a narrow status bar still shows it.
        if (fullFaces > stats.facesImported) {
            const int end = summary.indexOf(QString::fromUtf8("。"));
            summary.insert(end < 0 ? summary.size() : end, DxfFullImportHintText(fullFaces));
        }
    }
    if (!readError.empty()) {
        CFileProblem cause;
        cause.code = EFileProblem::kSystem;
        cause.systemError = systemError;
        cause.systemText = readError;
        summary += QString::fromUtf8("。読み込みエラー: ") + JapaneseReason(cause);
    }
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
