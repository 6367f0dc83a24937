// The out-of-view hint: one pass over the faces after a model replacement, then only the
// model's bounding box per frame while the hint shows, so navigating a big model stays cheap.
#include "view/FitHint.h"

#include "view/FitView.h"

#include <QOpenGLWidget>

CFitHint::CFitHint(QOpenGLWidget& view, const CShapeList& shapes) : QObject(&view), m_view(view), m_shapes(shapes)
{
    connect(&view, &QOpenGLWidget::frameSwapped, this, &CFitHint::AfterFrame);
}

void CFitHint::AfterFrame()
{
    const qreal ratio = m_view.devicePixelRatioF();
    const int w = static_cast<int>(m_view.width() * ratio), h = static_cast<int>(m_view.height() * ratio);
    if (m_checkModel) {
        m_checkModel = false;
        const bool outside = GetShownBounds(m_shapes, m_min, m_max) && !AnyShownFaceInView(m_shapes, w, h);
        Show(outside);
    } else if (m_shown && IsBoxInView(m_min, m_max, w, h)) {
        Show(false);
    }
}

void CFitHint::Show(bool shown)
{
    if (shown == m_shown) return;
    m_shown = shown;
    emit Changed(shown);
}
