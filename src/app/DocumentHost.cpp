// New, Open, Save and Save As of model files, with the save question and error messages.
#include "app/DocumentHost.h"

#include "app/FileReadTask.h"
#include "app/FileReasons.h"
#include "app/UserPrompts.h"
#include "model/FileAccess.h"
#include "model/ModelFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QCursor>

#include <sys/stat.h>

namespace {

// Wait cursor for the duration of a long file operation.
class CWaitCursor {
public:
    CWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

}  // namespace

CDocumentHost::CDocumentHost(QObject* parent) : QObject(parent) {}

QString CDocumentHost::Title() const
{
    if (m_path.isEmpty()) return QString::fromUtf8(kUntitled);
    const QString name = QFileInfo(m_path).fileName();
    return name.isEmpty() ? m_path : name;
}

void CDocumentHost::SetPathName(const QString& path, bool addToRecent)
{
    m_path = path;
    emit TitleChanged(Title());
    if (addToRecent && !path.isEmpty() && QFileInfo::exists(path)) emit FileOpened(path);
}

bool CDocumentHost::SaveModified()
{
    if (!m_doc.IsModified()) return true;
    const QString text = Title() + " " + QString::fromUtf8("への変更を保存しますか？");
    switch (CUserPrompts::Get().Ask(m_window, QMessageBox::Warning, QString::fromUtf8(kAppTitle), text,
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes: return DoFileSave();
    case QMessageBox::No: return true;
    default: return false;
    }
}

void CDocumentHost::SetReading(bool reading, std::function<void()> cancel)
{
    m_cancelReading = reading ? (cancel ? std::move(cancel) : [] {}) : std::function<void()>();
    m_history.SetLocked(reading);
    emit ReadingChanged(reading);
}

void CDocumentHost::CancelReading()
{
    if (m_cancelReading) m_cancelReading();
}

bool CDocumentHost::OnFileNew()
{
    if (IsReading() || !SaveModified()) return false;
    m_doc.OnNewDocument();
    m_history.Clear();
    SetPathName(QString(), false);
    emit ModelReplaced();
    return true;
}

bool CDocumentHost::OnFileOpen()
{
    if (IsReading()) return false;
    const QString path = CUserPrompts::Get().OpenFileName(m_window, QString::fromUtf8(kModelFilter), QString());
    if (path.isEmpty()) return false;
    return OpenDocumentFile(path);
}

bool CDocumentHost::OpenDocumentFile(const QString& path, bool ask)
{
    m_openCancelled = false;
    if (IsReading()) return false;
    if (ask && !SaveModified()) return false;
    CFileProblem problem;
    CInputFile file;
    bool foreign = false;
    if (file.Open(path.toStdString(), problem)) {
        // Read aside, so a reading that is stopped leaves the model as it was.
        CModelFileContent content;
        const bool finished = CFileReadTask::Run(*this, path, file, [&](CByteSource& source) {
            CModelReadOptions options;
            options.sizeHint = file.Size();
            ReadModelFile(source, content, options);
        });
        if (!finished) {
            m_openCancelled = true;
            return false;
        }
        const CLoadResult result = ApplyModelFile(std::move(content), m_doc);
        problem = result.problem;
        foreign = result.ok && !result.versionMatched;
    } else {
        m_doc.OnNewDocument();
    }
    // An opened model starts a history of its own.
    m_history.Clear();
    if (problem.Failed()) {
        // The model starts afresh, untitled, as after File > New.
        m_doc.OnNewDocument();
        SetPathName(QString(), false);
        emit ModelReplaced();
        CUserPrompts::Get().Tell(m_window, QMessageBox::Warning, QString::fromUtf8("ワーニング"),
                                 QString::fromUtf8("%1 が開けません\n\n%2").arg(path, JapaneseReason(problem)));
        return false;
    }
    SetPathName(QFileInfo(path).absoluteFilePath());
    emit ModelReplaced();
    if (foreign) {
        // Such a file opens as an empty model; say so, rather than show nothing.
        CUserPrompts::Get().Tell(m_window, QMessageBox::Warning, QString::fromUtf8("ワーニング"),
                                 QString::fromUtf8("%1 は %2 のモデル ファイルではありません\n\n"
                                                   "面のない空のモデルとして開きました。保存するときはファイル名を尋ねます。")
                                     .arg(path, QString::fromLatin1(g_fileVersion).trimmed()));
    }
    return true;
}

bool CDocumentHost::DoFileSave()
{
    return DoSave(SaveNeedsName() ? QString() : m_path);
}

bool CDocumentHost::SaveNeedsName() const
{
    if (m_path.isEmpty()) return true;
    // Only a regular file is looked into: reading a named pipe the model came from would wait
    // for a writer. A file that is gone or cannot be read is written anew, or the save says
    // what is wrong; an empty one holds nothing to lose.
    struct stat info;
    if (::stat(QFile::encodeName(m_path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray version = QByteArray(1, char(sizeof(g_fileVersion) - 1)) + QByteArray(g_fileVersion);
    const QByteArray head = file.read(version.size());
    return !head.isEmpty() && head != version;
}

bool CDocumentHost::DoSave(const QString& givenPath)
{
    QString path = givenPath;
    if (path.isEmpty()) {
        QString initial = m_path.isEmpty() ? QStringLiteral("MyVorla.vrl") : m_path;
        // A file that is not a model is offered under a model's name beside it, not as itself.
        if (!m_path.isEmpty() && SaveNeedsName()) {
            const QFileInfo from(m_path);
            initial = from.dir().filePath(from.completeBaseName() + QStringLiteral(".vrl"));
        }
        path = CUserPrompts::Get().SaveFileName(m_window, QString::fromUtf8(kModelFilter), initial, true);
        if (path.isEmpty()) return false;
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".vrl");
    }
    CFileProblem problem;
    bool ok;
    {
        CWaitCursor wait;
        ok = WriteFileAtomically(path.toStdString(),
                                 [&](CByteSink& sink) { return WriteModelFile(sink, m_doc.m_shapeList); }, problem);
    }
    if (!ok) {
        CUserPrompts::Get().Tell(m_window, QMessageBox::Warning, QString::fromUtf8("ワーニング"),
                                 QString::fromUtf8("%1 に保存できません\n\n%2").arg(path, JapaneseReason(problem)));
        return false;
    }
    // The history stays: undo goes on from the saved model, and back to it unmodified.
    m_history.MarkSaved();
    SetPathName(QFileInfo(path).absoluteFilePath());
    return true;
}
