// The view's OpenGL surface, frame and display-mode commands.
#include "view/GLView.h"

#include "app/DocumentHost.h"
#include "app/UserPrompts.h"
#include "model/Globals.h"
#include "view/Camera.h"
#include "view/FitHint.h"
#include "view/FitView.h"
#include "view/PovEngine.h"
#include "view/ViewKeys.h"

#include "interaction/Editing.h"
#include "model/ModelEdits.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QWheelEvent>

CMyvorla_ltView::CMyvorla_ltView(CDocumentHost& host, QWidget* parent)
    : QOpenGLWidget(parent), m_host(host), m_fitHint(new CFitHint(*this, host.Doc().m_shapeList))
{
    // A new view starts with the default camera, display modes, scene settings and no layers.
    InitViewDefaults();
    LookForPovEngine();
    m_nav.Reset();
    setFormat(RequestedFormat());
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // a pending move follows the cursor without a button held
    setMinimumSize(64, 48);
    m_settle.setSingleShot(true);
    m_settle.setInterval(CFrameBudget::kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, qOverload<>(&QWidget::update));  // the whole picture again
    connect(this, &QOpenGLWidget::frameSwapped, this, &CMyvorla_ltView::OnFrameSwapped);
    m_glStatus = CheckGLSupport();
    switch (m_glStatus) {
    case 1:
        CUserPrompts::Get().Tell(nullptr, QMessageBox::NoIcon, QString::fromUtf8("OpenGL:致命的例外１"),
                                 QString::fromUtf8("その値ではフレームバッファを初期化できません"));
        break;
    case 2:
        CUserPrompts::Get().Tell(nullptr, QMessageBox::NoIcon, QString::fromUtf8("OpenGL:致命的例外２"),
                                 QString::fromUtf8("フレームバッファの初期化に失敗しました。"));
        break;
    default: break;
    }
}

CMyvorla_ltView::~CMyvorla_ltView()
{
    if (context()) disconnect(context(), nullptr, this, nullptr);
    makeCurrent();
    ReleaseGL();
    doneCurrent();
}

QSurfaceFormat CMyvorla_ltView::RequestedFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(24);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    return format;
}

int CMyvorla_ltView::CheckGLSupport()
{
    QOpenGLContext context;
    context.setFormat(RequestedFormat());
    if (!context.create()) return 1;
    const QSurfaceFormat actual = context.format();
    if (actual.depthBufferSize() < 16 || actual.redBufferSize() < 5) return 2;
    return 0;
}

void CMyvorla_ltView::initializeGL()
{
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &CMyvorla_ltView::ReleaseGL,
            Qt::UniqueConnection);
    m_renderer.Initialize();
}

void CMyvorla_ltView::ReleaseGL()
{
    m_renderer.Release();
}

void CMyvorla_ltView::resizeGL(int, int)
{
    // The frame sets the viewport from the client size every time it draws.
}

void CMyvorla_ltView::paintGL()
{
    const qreal ratio = devicePixelRatioF();
    const double share = IsNavigating() ? m_budget.NavigationShare() : 1.0;
    m_renderer.Draw(m_host.Doc().m_shapeList, static_cast<int>(width() * ratio), static_cast<int>(height() * ratio),
                    share);
    // What the user waits for is the drawing plus the showing of the frame in the window; the
    // latter is known from the last frame shown.
    m_budget.Record(m_renderer.LastShare(), m_renderer.LastDrawMilliseconds() + m_showMs);
    m_sinceDrawn.start();
}

QImage CMyvorla_ltView::GrabWholePicture()
{
    const bool wasReduced = m_settle.isActive();
    m_settle.stop();
    const QImage picture = grabFramebuffer();
    if (wasReduced) update();  // the window shows the whole picture too
    return picture;
}

void CMyvorla_ltView::OnFrameSwapped()
{
    // A frame drawn for a grab is not shown; the next swap may then come much later, and its
    // time says nothing about showing a frame.
    constexpr double kLongestShowMs = 250;
    if (m_sinceDrawn.isValid()) {
        const double ms = m_sinceDrawn.nsecsElapsed() / 1e6;
        if (ms < kLongestShowMs) m_showMs = ms;
    }
    m_sinceDrawn.invalidate();
}

void CMyvorla_ltView::ModelChanged()
{
    m_renderer.InvalidateGeometry();
    m_budget.Forget();
    update();
}

void CMyvorla_ltView::ModelReplaced()
{
    m_fitHint->ModelReplaced();
    Apply(m_nav.OnModelReplaced());
    ModelChanged();
}

void CMyvorla_ltView::LayersChanged()
{
    m_renderer.InvalidateLayers();
    m_budget.Forget();  // hidden or shown layers change what a whole frame costs
    update();
}

void CMyvorla_ltView::SelectionChanged()
{
    m_renderer.InvalidateSelection();
    update();
}

void CMyvorla_ltView::OnWireframe()
{
    ToggleWireframe();
    update();
}

void CMyvorla_ltView::OnParallel()
{
    ToggleParallel();
    update();
}

void CMyvorla_ltView::OnWalkThrough()
{
    ToggleWalkThrough();
    update();
}

void CMyvorla_ltView::OnFitToView()
{
    const qreal ratio = devicePixelRatioF();
    if (!FitCameraToShapes(m_host.Doc().m_shapeList, static_cast<int>(width() * ratio),
                           static_cast<int>(height() * ratio)))
        return;
    m_fitHint->Withdraw();
    m_settle.start();  // a camera step as the view keys make one: a big model is drawn reduced first
    update();
}

void CMyvorla_ltView::Apply(const SViewActions& actions)
{
    if (actions.moveStarted) m_host.History().MoveStarted();
    if (actions.moved) m_host.History().RecordMove(actions.moved, actions.moved->Count() > 0);
    if (actions.shapesChanged) {
        m_renderer.InvalidateGeometry();
        m_budget.Forget();
    }
    if (actions.cameraMoved) m_settle.start();
    if (actions.selectionChanged) m_renderer.InvalidateSelection();
    if (actions.captureMouse) grabMouse();
    if (actions.releaseCapture) releaseMouse();
    if (actions.setCursor) {
        switch (actions.cursor) {
        case ECursor::kArrow: unsetCursor(); break;
        case ECursor::kSizeAll: setCursor(Qt::SizeAllCursor); break;
        case ECursor::kSizeNESW: setCursor(Qt::SizeBDiagCursor); break;
        case ECursor::kSizeNS: setCursor(Qt::SizeVerCursor); break;
        }
    }
    if (actions.repaint || actions.shapesChanged || actions.selectionChanged) update();
}

QPoint CMyvorla_ltView::PixelPoint(const QPointF& position) const
{
    const qreal ratio = devicePixelRatioF();
    return QPoint(static_cast<int>(position.x() * ratio), static_cast<int>(position.y() * ratio));
}

void CMyvorla_ltView::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = PixelPoint(event->position());
    switch (event->button()) {
    case Qt::LeftButton:
        // While a file is read for a command the faces are not picked or moved; the tools work.
        if (m_host.IsReading() && !m_nav.IsToolArmed()) break;
        Apply(m_nav.OnLButtonDown(m_host.Doc(), p.x(), p.y()));
        break;
    case Qt::MiddleButton: Apply(m_nav.OnMButtonDown(p.x(), p.y())); break;
    case Qt::RightButton: Apply(m_nav.OnRButtonDown(p.x(), p.y())); break;
    default: QOpenGLWidget::mousePressEvent(event); return;
    }
    event->accept();
}

void CMyvorla_ltView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = PixelPoint(event->position());
    switch (event->button()) {
    case Qt::LeftButton: Apply(m_nav.OnLButtonUp(p.x(), p.y())); break;
    case Qt::MiddleButton: Apply(m_nav.OnMButtonUp(p.x(), p.y())); break;
    case Qt::RightButton: Apply(m_nav.OnRButtonUp(p.x(), p.y())); break;
    default: QOpenGLWidget::mouseReleaseEvent(event); return;
    }
    event->accept();
}

void CMyvorla_ltView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = PixelPoint(event->position());
    Apply(m_nav.OnMouseMove(p.x(), p.y()));
    event->accept();
}

void CMyvorla_ltView::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta != 0) Apply(m_nav.OnMouseWheel(delta));
    event->accept();
}

void CMyvorla_ltView::keyPressEvent(QKeyEvent* event)
{
    const EViewKey key = ViewKeyOf(*event);
    if (key == EViewKey::kOther) {
        QOpenGLWidget::keyPressEvent(event);
        return;
    }
    Apply(m_nav.OnKeyDown(m_host.Doc(), key));
    event->accept();
}

void CMyvorla_ltView::OnEditCut()
{
    std::unique_ptr<CFaceRemoval> removal;
    const SViewActions actions = CutSelected(m_host.Doc(), &removal);
    const bool removed = removal->Count() > 0;
    m_host.History().Record(EEditStep::kCut, std::move(removal), removed);
    Apply(actions);
}

void CMyvorla_ltView::OnEditSelectAll()
{
    Apply(SelectAll(m_host.Doc()));
}

void CMyvorla_ltView::OnEscape()
{
    Apply(ClearSelection(m_host.Doc()));
}
