// A spin-edited number field that steps by whole numbers and never rewrites typed text.
#include "dialogs/SpinEdit.h"

#include "model/DialogFields.h"

#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// The typed value as a number, whatever the range; nullopt for text that is not one.
std::optional<double> TypedValue(const QString& text)
{
    return ParseNumberField(text.toStdString(), -std::numeric_limits<double>::max(),
                            std::numeric_limits<double>::max());
}

}  // namespace

CSpinEdit::CSpinEdit(int min, int max, QWidget* parent) : QAbstractSpinBox(parent), m_min(min), m_max(max)
{
    // The field shows what the user typed until OK; no correction on leaving it.
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(false);
    setAccelerated(true);
}

QString CSpinEdit::Text() const { return lineEdit()->text(); }

void CSpinEdit::SetText(const QString& text) { lineEdit()->setText(text); }

void CSpinEdit::stepBy(int steps)
{
    // From a fraction the first step lands on the neighbouring whole number (36.5 goes up to 37
    // and down to 36); text that is no number starts from the nearest end of the range to 0.
    const std::optional<double> typed = TypedValue(Text());
    double next;
    if (!typed) {
        next = std::clamp(0, m_min, m_max);
    } else if (steps > 0) {
        next = std::floor(*typed) + steps;
    } else {
        next = std::ceil(*typed) + steps;
    }
    next = std::clamp(next, double(m_min), double(m_max));
    SetText(QString::fromStdString(FormatIntegerField(static_cast<int>(next))));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled CSpinEdit::stepEnabled() const
{
    const std::optional<double> typed = TypedValue(Text());
    if (!typed) return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (*typed < m_max) enabled |= StepUpEnabled;
    if (*typed > m_min) enabled |= StepDownEnabled;
    return enabled;
}

QSize CSpinEdit::sizeHint() const
{
    // Room for "-90.25" or so next to the arrows, as the dialogs' 40-unit fields have.
    QSize size = QAbstractSpinBox::sizeHint();
    size.setWidth(std::max(size.width(), fontMetrics().horizontalAdvance(QStringLiteral("-000.00")) + 28));
    return size;
}

QSize CSpinEdit::minimumSizeHint() const { return sizeHint(); }
