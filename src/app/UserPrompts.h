// The modal questions the program asks: file dialogs and message boxes. Tests replace the
// implementation with a scripted one, so no dialog ever blocks a test run.
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>

class QWidget;

class CUserPrompts {
public:
    virtual ~CUserPrompts() = default;

    // Empty when the user cancels.
    virtual QString OpenFileName(QWidget* parent, const QString& filter, const QString& initialName);
    virtual QString SaveFileName(QWidget* parent, const QString& filter, const QString& initialName,
                                 bool confirmOverwrite);
    // A folder chosen in the folder dialog, starting at `initial`; empty when the user cancels.
    virtual QString FolderName(QWidget* parent, const QString& initial);
    virtual QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                            const QString& text, QMessageBox::StandardButtons buttons);
    virtual void Tell(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text);
    // The colour chooser, starting from `initial`; an invalid colour when the user cancels.
    virtual QColor ChooseColor(QWidget* parent, const QColor& initial);

    // The prompts in use; Install(nullptr) goes back to the real dialogs.
    static CUserPrompts& Get();
    static void Install(CUserPrompts* prompts);
};
