// Helpers of the GUI tests: scripted answers for dialogs, a started program, pixel reading.
#pragma once

#include "app/Application.h"
#include "app/DocumentHost.h"
#include "app/MainFrame.h"
#include "app/UserPrompts.h"
#include "model/Globals.h"
#include "view/GLView.h"

#include <QApplication>
#include <QImage>
#include <QQueue>
#include <QStandardPaths>
#include <QTest>

#include <memory>

// Answers the program's questions from a script and records every message shown.
class CScriptedPrompts : public CUserPrompts {
public:
    CScriptedPrompts() { CUserPrompts::Install(this); }
    ~CScriptedPrompts() override { CUserPrompts::Install(nullptr); }

    QString OpenFileName(QWidget*, const QString& filter, const QString&) override
    {
        m_filters << filter;
        return Next();
    }
    QString SaveFileName(QWidget*, const QString& filter, const QString& initialName, bool) override
    {
        m_filters << filter;
        m_offered << initialName;
        return Next();
    }
    QString FolderName(QWidget*, const QString&) override { return Next(); }
    QMessageBox::StandardButton Ask(QWidget*, QMessageBox::Icon, const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons) override
    {
        m_shown << caption + "|" + text;
        return m_buttons.isEmpty() ? QMessageBox::Cancel : m_buttons.dequeue();
    }
    void Tell(QWidget*, QMessageBox::Icon, const QString& caption, const QString& text) override
    {
        m_shown << caption + "|" + text;
    }
    QColor ChooseColor(QWidget*, const QColor& initial) override
    {
        m_colorsOffered << initial;
        return m_colors.isEmpty() ? QColor() : m_colors.dequeue();
    }

    QQueue<QString> m_files;                          // answers of file dialogs ("" = cancel)
    QQueue<QMessageBox::StandardButton> m_buttons;    // answers of questions
    QStringList m_shown;                              // "caption|text" of every box
    QStringList m_filters;                            // the filters the file dialogs offered
    QStringList m_offered;                            // the names the save dialogs offered
    QQueue<QColor> m_colors;                          // answers of the colour chooser (invalid = cancel)
    QList<QColor> m_colorsOffered;                    // the colours the chooser started from

private:
    QString Next() { return m_files.isEmpty() ? QString() : m_files.dequeue(); }
};

// The program as a user starts it, with fresh globals and settings kept out of the user's.
struct CStartedProgram {
    explicit CStartedProgram(const QStringList& arguments = {QStringLiteral("vorla")})
    {
        ResetGlobals();
        app = std::make_unique<CMyvorla_ltApp>();
        ok = app->InitInstance(arguments);
        if (ok) {
            Frame().resize(800, 600);
            (void)QTest::qWaitForWindowExposed(&Frame());
        }
    }
    CMainFrame& Frame() { return *app->MainFrame(); }
    CMyvorla_ltView& View() { return *app->MainFrame()->View(); }
    CDocumentHost& Host() { return *app->Host(); }
    // Draws a frame now and returns the picture.
    QImage Grab() { return View().grabFramebuffer(); }

    std::unique_ptr<CMyvorla_ltApp> app;
    bool ok = false;
};

inline void InitGuiTestEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
    SetUpApplicationIdentity();
}

inline bool Near(QRgb pixel, int r, int g, int b, int tolerance = 3)
{
    return std::abs(qRed(pixel) - r) <= tolerance && std::abs(qGreen(pixel) - g) <= tolerance &&
           std::abs(qBlue(pixel) - b) <= tolerance;
}

// Entry point of a GUI test executable for one Qt Test class.
#define VORLA_GUI_TEST_MAIN(TestClass)                                                                    \
    int main(int argc, char** argv)                                                                       \
    {                                                                                                     \
        InitGuiTestEnvironment();                                                                         \
        QApplication app(argc, argv);                                                                     \
        TestClass test;                                                                                   \
        return QTest::qExec(&test, argc, argv);                                                           \
    }
