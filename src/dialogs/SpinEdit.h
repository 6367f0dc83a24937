// CSpinEdit: a number field with up/down arrows whose text is kept exactly as typed. The arrows
// and arrow keys step by whole numbers within a range and write a whole number; checking the
// typed text is left to the dialog's OK, so an out-of-range value is refused, never clamped.
#pragma once

#include <QAbstractSpinBox>

class CSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    CSpinEdit(int min, int max, QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int m_min;
    int m_max;
};
