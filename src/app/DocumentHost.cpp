// New, Open, Save and Save As of model files, with the save question and error messages.
#include "app/DocumentHost.h"

#include "app/UserPrompts.h"
#include "model/FileAccess.h"
#include "model/ModelFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QCursor>

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

bool CDocumentHost::OnFileNew()
{
    if (!SaveModified()) return false;
    m_doc.OnNewDocument();
    SetPathName(QString(), false);
    emit ModelReplaced();
    return true;
}

bool CDocumentHost::OnFileOpen()
{
    const QString path = CUserPrompts::Get().OpenFileName(m_window, QString::fromUtf8(kModelFilter), QString());
    if (path.isEmpty()) return false;
    return OpenDocumentFile(path);
}

bool CDocumentHost::OpenDocumentFile(const QString& path, bool ask)
{
    if (ask && !SaveModified()) return false;
    std::string error;
    CLoadResult result;
    {
        CWaitCursor wait;
        CInputFile file;
        if (file.Open(path.toStdString(), error)) {
            CFdSource source(file.Fd());
            result = LoadModel(source, m_doc, file.Size());
            error = result.error;
        } else {
            m_doc.OnNewDocument();
        }
    }
    if (!error.empty()) {
        // The model starts afresh, untitled, as after File > New.
        m_doc.OnNewDocument();
        SetPathName(QString(), false);
        emit ModelReplaced();
        CUserPrompts::Get().Tell(m_window, QMessageBox::Warning, QString::fromUtf8("ワーニング"),
                                 QString::fromUtf8("%1 が開けません\n\n%2").arg(path, QString::fromStdString(error)));
        return false;
    }
    SetPathName(QFileInfo(path).absoluteFilePath());
    emit ModelReplaced();
    return true;
}

bool CDocumentHost::DoFileSave()
{
    return DoSave(m_path);
}

bool CDocumentHost::DoSave(const QString& givenPath)
{
    QString path = givenPath;
    if (path.isEmpty()) {
        const QString initial = m_path.isEmpty() ? QStringLiteral("MyVorla.vrl") : m_path;
        path = CUserPrompts::Get().SaveFileName(m_window, QString::fromUtf8(kModelFilter), initial, true);
        if (path.isEmpty()) return false;
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".vrl");
    }
    std::string error;
    bool ok;
    {
        CWaitCursor wait;
        ok = WriteFileAtomically(path.toStdString(),
                                 [&](CByteSink& sink) { return WriteModelFile(sink, m_doc.m_shapeList); }, error);
    }
    if (!ok) {
        CUserPrompts::Get().Tell(m_window, QMessageBox::Warning, QString::fromUtf8("ワーニング"),
                                 QString::fromUtf8("%1 に保存できません\n\n%2").arg(path, QString::fromStdString(error)));
        return false;
    }
    m_doc.SetModifiedFlag(false);
    SetPathName(QFileInfo(path).absoluteFilePath());
    return true;
}
