// Start-up in its order: identity, document, frame, command line, show.
#include "app/Application.h"

#include "app/CommandRouting.h"
#include "app/DocumentHost.h"
#include "app/ExchangeCommands.h"
#include "app/FileReadTask.h"
#include "app/MainFrame.h"
#include "app/QtTranslations.h"
#include "view/GLView.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStatusBar>
#include <QSurfaceFormat>

void SetUpApplicationIdentity()
{
    // The icons live in the static UI library, whose resources must be registered by hand.
    Q_INIT_RESOURCE(vorla);
    QCoreApplication::setOrganizationName(QStringLiteral("ZEMPLA DESIGN FIRM"));
    QCoreApplication::setApplicationName(QString::fromUtf8(kAppTitle));
    QGuiApplication::setDesktopFileName(QStringLiteral("vorla"));  // the installed desktop entry
    QSurfaceFormat::setDefaultFormat(CMyvorla_ltView::RequestedFormat());
}

CMyvorla_ltApp::CMyvorla_ltApp() = default;
CMyvorla_ltApp::~CMyvorla_ltApp()
{
    m_frame.reset();
    m_host.reset();
}

bool CMyvorla_ltApp::InitInstance(const QStringList& arguments)
{
    InstallQtTranslations();  // Qt's own dialogs and buttons in Japanese, whatever the locale
    m_host = std::make_unique<CDocumentHost>();
    m_frame = std::make_unique<CMainFrame>(*m_host);
    RouteCommands(*m_frame);
    const QStringList files = arguments.mid(1);
    if (files.isEmpty()) {
        m_host->OnFileNew();
        m_frame->show();
        return true;
    }
    // A drawing is imported, as File > Import > DXF (or dropping it) does: opened as a model it
    // would show nothing, and saving would replace the drawing.
    if (QFileInfo(files.first()).suffix().compare(QLatin1String("dxf"), Qt::CaseInsensitive) == 0) {
        m_host->OnFileNew();
        m_frame->show();
        OnImportDxf(*m_frame, EDxfImport::Default, files.first());
        return true;
    }
    // A big file or a pipe is read with the window showing its progress; anything else
    // before the window shows, so a file that cannot be opened shows no window at all.
    const QFileInfo named(files.first());
    const bool readAtLength = named.exists() && (!named.isFile() || named.size() >= qint64(CFileReadTask::kInBackgroundFrom));
    if (readAtLength) m_frame->show();
    if (!m_host->OpenDocumentFile(files.first(), false)) {
        if (!m_host->OpenWasCancelled()) return false;
        // Stopped with ｷｬﾝｾﾙ: the program goes on with an empty model, as after File > New,
        // still saying that the reading was stopped.
        const QString said = m_frame->statusBar()->currentMessage();
        m_host->OnFileNew();
        m_frame->statusBar()->showMessage(said);
    }
    m_frame->show();
    return true;
}
