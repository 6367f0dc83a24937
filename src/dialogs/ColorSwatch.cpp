// The colour swatch of the colour and material dialog.
#include "dialogs/ColorSwatch.h"

#include <QPainter>

CColorSwatch::CColorSwatch(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
}

void CColorSwatch::SetColor(const QColor& color)
{
    m_color = color;
    update();
}

QSize CColorSwatch::sizeHint() const { return {76, 52}; }

void CColorSwatch::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), m_color);
    }
    QFrame::paintEvent(event);
}
