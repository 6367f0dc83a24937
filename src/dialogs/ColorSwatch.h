// CColorSwatch: a sunken frame filled with one colour, repainted whenever its window is.
#pragma once

#include <QColor>
#include <QFrame>

class CColorSwatch : public QFrame {
    Q_OBJECT
public:
    explicit CColorSwatch(QWidget* parent = nullptr);

    QColor Color() const { return m_color; }
    void SetColor(const QColor& color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color = Qt::black;
};
