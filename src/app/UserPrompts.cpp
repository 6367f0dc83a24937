// The real dialogs behind CUserPrompts.
#include "app/UserPrompts.h"

#include <QColorDialog>
#include <QFileDialog>

namespace {
CUserPrompts g_realPrompts;
CUserPrompts* g_prompts = &g_realPrompts;
}  // namespace

QString CUserPrompts::OpenFileName(QWidget* parent, const QString& filter, const QString& initialName)
{
    return QFileDialog::getOpenFileName(parent, QString(), initialName, filter);
}

QString CUserPrompts::SaveFileName(QWidget* parent, const QString& filter, const QString& initialName,
                                   bool confirmOverwrite)
{
    return QFileDialog::getSaveFileName(parent, QString(), initialName, filter, nullptr,
                                        confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
}

QString CUserPrompts::FolderName(QWidget* parent, const QString& initial)
{
    return QFileDialog::getExistingDirectory(parent, QString(), initial);
}

QMessageBox::StandardButton CUserPrompts::Ask(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                              const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void CUserPrompts::Tell(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

QColor CUserPrompts::ChooseColor(QWidget* parent, const QColor& initial)
{
    return QColorDialog::getColor(initial, parent);
}

CUserPrompts& CUserPrompts::Get() { return *g_prompts; }

void CUserPrompts::Install(CUserPrompts* prompts) { g_prompts = prompts ? prompts : &g_realPrompts; }
