// CMyvorla_ltApp: start-up of the program: settings location, the document, the main window,
// and the model file named on the command line.
#pragma once

#include <QStringList>

#include <memory>

class CDocumentHost;
class CMainFrame;

class CMyvorla_ltApp {
public:
    CMyvorla_ltApp();
    ~CMyvorla_ltApp();

    // Creates the window and carries out the command line: no file gives an empty model, a
    // file is opened. Returns false when the named file cannot be opened (the user has been
    // told why); the program should then end with a failure status.
    bool InitInstance(const QStringList& arguments);

    CMainFrame* MainFrame() { return m_frame.get(); }
    CDocumentHost* Host() { return m_host.get(); }

private:
    std::unique_ptr<CDocumentHost> m_host;
    std::unique_ptr<CMainFrame> m_frame;
};

// Organisation and application names of the per-user settings, and the surface format.
void SetUpApplicationIdentity();
