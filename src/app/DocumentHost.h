// The document as the desktop program handles it: its file path and title, New, Open, Save,
// Save As, and the question to save changes before the model is replaced or the program ends.
#pragma once

#include "app/EditHistory.h"
#include "model/Document.h"

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

inline const char kAppTitle[] = "Vorla_DORAZ";
inline const char kUntitled[] = "無題";
inline const char kModelFilter[] = "Vorla_III Files (*.vrl)";

class CDocumentHost : public QObject {
    Q_OBJECT
public:
    explicit CDocumentHost(QObject* parent = nullptr);

    CMyvorla_ltDoc& Doc() { return m_doc; }
    void SetWindow(QWidget* window) { m_window = window; }
    QWidget* Window() const { return m_window; }

    const QString& PathName() const { return m_path; }
    // The file name without its folder, or "無題" for a model that has none.
    QString Title() const;
    // A name set by a command (e.g. "無題" after a DXF import) that the title shows.
    void SetPathName(const QString& path, bool addToRecent = true);

    // File > New: asks to save changes, then empties the model.
    bool OnFileNew();
    // File > Open: asks for a file, asks to save changes, opens it.
    bool OnFileOpen();
    // Opens `path` (after the save question, when `ask` is set). On a failure the user is told
    // why and the model starts afresh. Returns false on failure or cancel.
    bool OpenDocumentFile(const QString& path, bool ask = true);
    // Whether the last OpenDocumentFile ended because the user stopped its reading.
    bool OpenWasCancelled() const { return m_openCancelled; }
    bool OnFileSave() { return DoFileSave(); }
    bool OnFileSaveAs() { return DoSave(QString()); }
    // Saves to the current path, or asks for one first.
    bool DoFileSave();
    // True when Save asks for a name first: the model is untitled, or the file it came from is
    // not a model file of this version (a drawing opened by mistake, or an older model), which
    // saving would replace without a word.
    bool SaveNeedsName() const;
    // Saves to `path`, or asks for a path when it is empty. Reports failures.
    bool DoSave(const QString& path);
    // When modified, asks "… への変更を保存しますか？": Yes saves (false if that fails), No goes on,
    // Cancel returns false.
    bool SaveModified();

    // Tell the views that the faces were replaced or changed.
    void NotifyModelReplaced() { emit ModelReplaced(); }
    // An undo or redo changed the model under the view.
    void NotifyModelEdited() { emit ModelEdited(); }

    CEditHistory& History() { return m_history; }

    // While a file is read for a command, no other command may change or replace the model;
    // `cancel` stops the reading (closing the window asks for that).
    bool IsReading() const { return bool(m_cancelReading); }
    void SetReading(bool reading, std::function<void()> cancel = {});
    void CancelReading();

signals:
    void ModelReplaced();
    void ModelEdited();
    void ReadingChanged(bool reading);
    void TitleChanged(const QString& title);
    void FileOpened(const QString& path);  // for the recent-file list

private:
    CMyvorla_ltDoc m_doc;
    QString m_path;
    QWidget* m_window = nullptr;
    CEditHistory m_history{*this};
    std::function<void()> m_cancelReading;
    bool m_openCancelled = false;
};
