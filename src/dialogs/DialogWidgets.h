// Widget helpers shared by the settings dialogs: editable text combos filled by the prefix
// rule, and refusing a field on OK.
#pragma once

#include <string>
#include <vector>

class QComboBox;
class QDialog;
class QPushButton;
class QWidget;

// An editable combo box with `entries` in their order. Typed text is neither completed from
// the list nor added to it, so what the user types is what OK takes.
QComboBox* MakeTextCombo(const std::vector<std::string>& entries, QWidget* parent);

// Shows a stored byte string: the first entry it begins with (selected), else the text
// itself. Returns the bytes now shown, for ComboTextToStore.
std::string ShowComboText(QComboBox* combo, const std::vector<std::string>& entries, const std::string& stored);

// The byte string OK stores: `shown` when the field still shows it, else the typed UTF-8 text.
std::string ComboTextToStore(const QComboBox* combo, const std::string& shown);

// Tells the user why a field was refused, then puts the focus on it with its text selected.
void RefuseField(QWidget* dialog, QWidget* field, const std::string& message);

// The dialogs' two buttons, "OK" (default) and "ｷｬﾝｾﾙ", wired to accept and reject.
struct COkCancelButtons {
    QPushButton* ok;
    QPushButton* cancel;
};
COkCancelButtons MakeOkCancel(QDialog* dialog);
