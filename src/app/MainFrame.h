// CMainFrame: the main window with its menu, tool bar, status bar and the one view.
#pragma once

#include "app/CommandTable.h"
#include "app/RecentFileList.h"

#include <QImage>
#include <QMainWindow>

#include <functional>
#include <memory>

class CDocumentHost;
class CMyvorla_ltView;
class QLabel;
class QMenu;
class QPrinter;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CDocumentHost& host, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CDocumentHost& Host() { return m_host; }
    CMyvorla_ltView* View() { return m_view; }
    CCommandTable& Commands() { return *m_commands; }
    QAction* Action(int id) { return m_commands->Action(id); }
    QMenu* FileMenu() { return m_fileMenu; }
    QPrinter& Printer();
    // What the view shows now, for printing.
    QImage ViewPicture();
    CRecentFileList& RecentFiles() { return m_recent; }

    // Connects a command to its handler and enables it.
    void Route(int id, const std::function<void()>& handler);

    // Files dropped on the window: a model file opens, a DXF file is imported (each after the
    // question about unsaved changes); anything else, or more than one file, is refused with a
    // message.
    void OpenDroppedFiles(const QStringList& paths);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    // The central pane in place of the view when OpenGL cannot be used.
    QWidget* MakeNoPicturePane();
    void UpdateTitle();
    void UpdateRecentFiles();
    void UpdateCheckMarks();
    void HoldCommandsWhileReading(bool reading);

    CDocumentHost& m_host;
    CCommandTable* m_commands;
    CMyvorla_ltView* m_view;
    std::unique_ptr<CMyvorla_ltView> m_detachedView;  // owns the view when it is in no window
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentAnchor = nullptr;
    QList<QAction*> m_recentActions;
    CRecentFileList m_recent;
    QPrinter* m_printer = nullptr;
    QList<QAction*> m_heldActions;  // disabled while a file is read
    bool m_closeAfterReading = false;
};
