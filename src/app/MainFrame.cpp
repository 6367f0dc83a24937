// Menus, tool bar, status bar and title of the main window.
#include "app/MainFrame.h"

#include "app/CommandIds.h"
#include "app/DocumentHost.h"
#include "app/ExchangeCommands.h"
#include "app/UserPrompts.h"
#include "view/Camera.h"
#include "view/FitHint.h"
#include "view/GLView.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/LockIndicators.h"

CMainFrame::CMainFrame(CDocumentHost& host, QWidget* parent)
    : QMainWindow(parent), m_host(host), m_commands(new CCommandTable(this))
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.png")));
    m_host.SetWindow(this);
    // The view is made without a parent and joins the window only when OpenGL works: a window
    // holding an OpenGL widget without a context crashes in Qt when it is shown.
    m_view = new CMyvorla_ltView(host);
    if (m_view->HasGL()) {
        setCentralWidget(m_view);
    } else {
        m_detachedView.reset(m_view);
        setCentralWidget(MakeNoPicturePane());
    }
    // Undo and Redo are the history's own actions, which name the step and follow the stack.
    m_commands->Adopt(ID_EDIT_UNDO, host.History().CreateUndoAction(m_commands));
    m_commands->Adopt(ID_EDIT_REDO, host.History().CreateRedoAction(m_commands));
    for (QAction* action : m_commands->All()) addAction(action);  // shortcuts work without a menu item
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    connect(&m_host, &CDocumentHost::TitleChanged, this, &CMainFrame::UpdateTitle);
    connect(&m_host, &CDocumentHost::ModelReplaced, m_view, &CMyvorla_ltView::ModelReplaced);
    connect(&m_host, &CDocumentHost::ModelEdited, m_view, &CMyvorla_ltView::ModelReplaced);
    // What the status bar said of the model before (an import's summary) is not about the new one.
    connect(&m_host, &CDocumentHost::ModelReplaced, this, [this] { statusBar()->clearMessage(); });
    connect(&m_host, &CDocumentHost::ModelEdited, this, [this] { statusBar()->clearMessage(); });
    connect(&m_host, &CDocumentHost::ReadingChanged, this, &CMainFrame::HoldCommandsWhileReading);
    setAcceptDrops(true);
    connect(&m_host, &CDocumentHost::FileOpened, this, [this](const QString& path) {
        m_recent.Add(path);
        UpdateRecentFiles();
    });
    UpdateTitle();
    UpdateRecentFiles();
    resize(900, 680);
}

CMainFrame::~CMainFrame()
{
    delete m_printer;
}

QWidget* CMainFrame::MakeNoPicturePane()
{
    auto* pane = new QLabel(QString::fromUtf8("OpenGL を使えないため、モデルを表示できません"), this);
    pane->setObjectName(QStringLiteral("noPicturePane"));
    pane->setAlignment(Qt::AlignCenter);
    pane->setAutoFillBackground(true);
    pane->setStyleSheet(QStringLiteral("background-color: rgb(0, 77, 77); color: white;"));
    pane->setMinimumSize(64, 48);
    return pane;
}

QImage CMainFrame::ViewPicture()
{
    if (m_view->HasGL()) return m_view->GrabWholePicture();
    return centralWidget()->grab().toImage();
}

QPrinter& CMainFrame::Printer()
{
    if (!m_printer) m_printer = new QPrinter(QPrinter::HighResolution);
    return *m_printer;
}

void CMainFrame::Route(int id, const std::function<void()>& handler)
{
    QAction* action = Action(id);
    connect(action, &QAction::triggered, this, [handler] { handler(); });
    action->setEnabled(true);
}

void CMainFrame::BuildMenus()
{
    QMenuBar* bar = menuBar();
    m_fileMenu = bar->addMenu(QString::fromUtf8("ﾌｧｲﾙ(&F)"));
    m_fileMenu->setObjectName(QStringLiteral("menuFile"));
    m_fileMenu->addAction(Action(ID_FILE_NEW));
    m_fileMenu->addAction(Action(ID_FILE_OPEN));
    m_fileMenu->addAction(Action(ID_FILE_SAVE));
    m_fileMenu->addAction(Action(ID_FILE_SAVE_AS));
    m_fileMenu->addSeparator();
    QMenu* import = m_fileMenu->addMenu(QString::fromUtf8("読み込み(&F)..."));
    import->setObjectName(QStringLiteral("menuImport"));
    import->addAction(Action(ID_IMPORT_DXF));
    import->addAction(Action(ID_IMPORT_DXF_FULL));
    QMenu* exportMenu = m_fileMenu->addMenu(QString::fromUtf8("書き出し(&E)"));
    exportMenu->setObjectName(QStringLiteral("menuExport"));
    exportMenu->addAction(Action(ID_EXPORT_DXF));
    exportMenu->addAction(Action(ID_EXPORT_POV));
    m_fileMenu->addAction(Action(ID_INSERT_MODEL));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(Action(ID_FILE_PRINT));
    m_fileMenu->addAction(Action(ID_FILE_PRINT_PREVIEW));
    m_fileMenu->addAction(Action(ID_FILE_PRINT_SETUP));
    m_fileMenu->addSeparator();
    m_recentAnchor = Action(ID_FILE_MRU_FILE1);
    m_fileMenu->addAction(m_recentAnchor);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(Action(ID_APP_EXIT));

    QMenu* edit = bar->addMenu(QString::fromUtf8("編集(&E)"));
    edit->setObjectName(QStringLiteral("menuEdit"));
    edit->addAction(Action(ID_EDIT_UNDO));
    edit->addAction(Action(ID_EDIT_REDO));
    edit->addSeparator();
    edit->addAction(Action(ID_EDIT_CUT));
    edit->addAction(Action(ID_EDIT_COPY));
    edit->addAction(Action(ID_EDIT_PASTE));
    edit->addSeparator();
    edit->addAction(Action(ID_EDIT_SELECT_ALL));

    QMenu* view = bar->addMenu(QString::fromUtf8("表示(&V)"));
    view->setObjectName(QStringLiteral("menuView"));
    view->addAction(Action(ID_VIEW_LAYERS));
    view->addAction(Action(ID_VIEW_FIT));
    view->addSeparator();
    for (int id : {ID_VIEW_WIREFRAME, ID_VIEW_PARALLEL, ID_VIEW_WALKTHROUGH, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        Action(id)->setCheckable(true);
        if (id == ID_VIEW_TOOLBAR) view->addSeparator();
        view->addAction(Action(id));
    }
    connect(view, &QMenu::aboutToShow, this, &CMainFrame::UpdateCheckMarks);

    QMenu* create = bar->addMenu(QString::fromUtf8("作成(&D)"));
    create->setObjectName(QStringLiteral("menuCreate"));
    create->addAction(Action(ID_CREATE_SPHERE));

    QMenu* render = bar->addMenu(QString::fromUtf8("レンダリング"));
    render->setObjectName(QStringLiteral("menuRender"));
    render->addAction(Action(ID_RENDER_SETTINGS));
    render->addAction(Action(ID_RENDER));
    render->addAction(Action(ID_SUN_STUDY));

    QMenu* help = bar->addMenu(QString::fromUtf8("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("menuHelp"));
    help->addAction(Action(ID_APP_ABOUT));
}

void CMainFrame::BuildToolBar()
{
    QToolBar* bar = addToolBar(QString::fromUtf8("ﾂｰﾙ ﾊﾞｰ"));  // its name in the bar's context menu
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setIconSize(QSize(16, 15));
    bar->setMovable(true);
    const struct {
        int id;
        const char* icon;
    } buttons[] = {{ID_FILE_NEW, "new"},     {ID_FILE_OPEN, "open"}, {ID_FILE_SAVE, "save"},     {0, nullptr},
                   {ID_EDIT_CUT, "cut"},     {ID_EDIT_COPY, "copy"}, {ID_EDIT_PASTE, "paste"},   {0, nullptr},
                   {ID_FILE_PRINT, "print"}, {0, nullptr},           {ID_TOOL_MOVE, "move"},     {ID_TOOL_ROTATE, "rotate"},
                   {ID_TOOL_ZOOM, "zoom"},   {ID_VIEW_FIT, "fit"},   {0, nullptr},               {ID_APP_ABOUT, "about"}};
    for (const auto& button : buttons) {
        if (!button.id) {
            bar->addSeparator();
            continue;
        }
        QAction* action = Action(button.id);
        action->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QString::fromLatin1(button.icon))));
        bar->addAction(action);
    }
    Action(ID_VIEW_TOOLBAR)->setChecked(true);
    connect(Action(ID_VIEW_TOOLBAR), &QAction::toggled, bar, &QToolBar::setVisible);
    // The bar's context menu hides it too; the menu's check mark follows.
    connect(bar, &QToolBar::visibilityChanged, Action(ID_VIEW_TOOLBAR), &QAction::setChecked);
    Action(ID_VIEW_TOOLBAR)->setEnabled(true);
}

void CMainFrame::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    auto* ready = new QLabel(QString::fromUtf8("ﾚﾃﾞｨ"), bar);
    ready->setObjectName(QStringLiteral("readyText"));
    bar->addWidget(ready, 1);
    // A message covers the idle text. Qt hides the label for a message but may show it again
    // when the bar lays itself out anew (a progress widget removed), and both texts would then
    // be drawn over each other; hiding it explicitly keeps it hidden.
    connect(bar, &QStatusBar::messageChanged, ready, [ready](const QString& message) { ready->setVisible(message.isEmpty()); });
    auto* fitHint = new QLabel(QString::fromUtf8(kFitHintText), bar);
    fitHint->setObjectName(QStringLiteral("fitHint"));
    fitHint->setVisible(false);
    bar->addPermanentWidget(fitHint);
    connect(&m_view->FitHint(), &CFitHint::Changed, fitHint, &QLabel::setVisible);
    new CLockIndicators(bar);
    Action(ID_VIEW_STATUS_BAR)->setChecked(true);
    connect(Action(ID_VIEW_STATUS_BAR), &QAction::toggled, bar, &QStatusBar::setVisible);
    Action(ID_VIEW_STATUS_BAR)->setEnabled(true);
}

void CMainFrame::UpdateTitle()
{
    setWindowTitle(m_host.Title() + QStringLiteral(" - ") + QString::fromUtf8(kAppTitle));
}

void CMainFrame::UpdateCheckMarks()
{
    Action(ID_VIEW_WIREFRAME)->setChecked(IsWireframeChecked());
    Action(ID_VIEW_PARALLEL)->setChecked(IsParallelChecked());
    Action(ID_VIEW_WALKTHROUGH)->setChecked(IsWalkThroughChecked());
}

void CMainFrame::UpdateRecentFiles()
{
    for (QAction* action : m_recentActions) {
        m_fileMenu->removeAction(action);
        action->deleteLater();
    }
    m_recentActions.clear();
    const QStringList& files = m_recent.Files();
    m_recentAnchor->setVisible(files.isEmpty());
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)), this);
        action->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        action->setData(ID_FILE_MRU_FILE1 + i);
        action->setStatusTip(m_recentAnchor->statusTip());
        connect(action, &QAction::triggered, this, [this, path] {
            if (!m_host.OpenDocumentFile(path) && !QFileInfo::exists(path)) {
                m_recent.Remove(path);
                UpdateRecentFiles();
            }
        });
        m_fileMenu->insertAction(m_recentAnchor, action);
        m_recentActions << action;
    }
}

void CMainFrame::HoldCommandsWhileReading(bool reading)
{
    // The commands that would change, replace or write the model wait for the reading to end;
    // viewing, navigating and the menus go on.
    static const int kHeld[] = {ID_FILE_NEW,      ID_FILE_OPEN,          ID_FILE_SAVE,        ID_FILE_SAVE_AS,
                                ID_IMPORT_DXF,    ID_EXPORT_DXF,         ID_EXPORT_POV,       ID_INSERT_MODEL,
                                ID_FILE_PRINT,    ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, ID_EDIT_CUT,
                                ID_EDIT_SELECT_ALL, ID_VIEW_LAYERS,      ID_CREATE_SPHERE,    ID_RENDER_SETTINGS,
                                ID_RENDER,        ID_SUN_STUDY,          ID_IMPORT_DXF_FULL};
    if (reading) {
        QList<QAction*> actions = m_recentActions;
        for (int id : kHeld) actions << Action(id);
        for (QAction* action : actions) {
            if (!action || !action->isEnabled()) continue;
            action->setEnabled(false);
            m_heldActions << action;
        }
        return;
    }
    for (QAction* action : m_heldActions) action->setEnabled(true);
    m_heldActions.clear();
    if (m_closeAfterReading) {
        m_closeAfterReading = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_host.IsReading() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) paths << (url.isLocalFile() ? url.toLocalFile() : url.toString());
    event->acceptProposedAction();
    // After the drop has ended: opening asks questions and may read for a while.
    QTimer::singleShot(0, this, [this, paths] { OpenDroppedFiles(paths); });
}

void CMainFrame::OpenDroppedFiles(const QStringList& paths)
{
    if (m_host.IsReading() || paths.isEmpty()) return;
    const auto refuse = [this](const QString& text) {
        CUserPrompts::Get().Tell(this, QMessageBox::Warning, QString::fromUtf8("ワーニング"), text);
    };
    if (paths.size() > 1) {
        refuse(QString::fromUtf8("一度に開けるファイルは 1 つです（%1 個のファイルがドロップされました）").arg(paths.size()));
        return;
    }
    const QString& path = paths.first();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("vrl")) {
        m_host.OpenDocumentFile(path);
    } else if (suffix == QLatin1String("dxf")) {
        OnImportDxf(*this, EDxfImport::Default, path);
    } else {
        refuse(QString::fromUtf8("%1 は開けません\n\nモデル ファイル（.vrl）と DXF ファイル（.dxf）だけを開けます").arg(path));
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // A file being read is stopped first; the window closes when the reading has ended.
    if (m_host.IsReading()) {
        m_closeAfterReading = true;
        m_host.CancelReading();
        event->ignore();
        return;
    }
    if (m_host.SaveModified()) {
        event->accept();
    } else {
        event->ignore();
    }
}
