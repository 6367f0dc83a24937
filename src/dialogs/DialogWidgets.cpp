// Editable combos, field refusal and the OK / Cancel pair of the settings dialogs.
#include "dialogs/DialogWidgets.h"

#include "app/DocumentHost.h"
#include "app/UserPrompts.h"
#include "model/DialogFields.h"
#include "model/TextEncoding.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

QComboBox* MakeTextCombo(const std::vector<std::string>& entries, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would turn a typed "冬" into "冬至" behind the user's back.
    combo->setCompleter(nullptr);
    combo->setMaxVisibleItems(12);
    for (const std::string& entry : entries) combo->addItem(QString::fromUtf8(entry));
    return combo;
}

std::string ShowComboText(QComboBox* combo, const std::vector<std::string>& entries, const std::string& stored)
{
    const int index = FindComboPrefix(entries, stored);
    const std::string shown = ComboShownText(entries, stored);
    combo->setCurrentIndex(index);
    combo->setEditText(QString::fromStdString(ToDisplayUtf8(shown)));
    return shown;
}

std::string ComboTextToStore(const QComboBox* combo, const std::string& shown)
{
    return StoredTextFromField(shown, combo->currentText().toStdString());
}

void RefuseField(QWidget* dialog, QWidget* field, const std::string& message)
{
    CUserPrompts::Get().Tell(dialog, QMessageBox::Warning, QString::fromUtf8(kAppTitle),
                             QString::fromStdString(message));
    field->setFocus(Qt::OtherFocusReason);
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) spin->selectAll();
    if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
}

COkCancelButtons MakeOkCancel(QDialog* dialog)
{
    COkCancelButtons buttons;
    buttons.ok = new QPushButton(QStringLiteral("OK"), dialog);
    buttons.ok->setDefault(true);
    buttons.ok->setObjectName(QStringLiteral("okButton"));
    buttons.cancel = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), dialog);
    buttons.cancel->setObjectName(QStringLiteral("cancelButton"));
    QObject::connect(buttons.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return buttons;
}
