// The view's OpenGL surface, frame and display-mode commands.
#include "view/GLView.h"

#include "app/DocumentHost.h"
#include "app/UserPrompts.h"
#include "model/Globals.h"
#include "view/Camera.h"

#include <QOpenGLContext>

CMyvorla_ltView::CMyvorla_ltView(CDocumentHost& host, QWidget* parent) : QOpenGLWidget(parent), m_host(host)
{
    // A new view starts with the default camera, display modes, scene settings and no layers.
    InitViewDefaults();
    setFormat(RequestedFormat());
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(64, 48);
    switch (CheckGLSupport()) {
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
    m_renderer.Draw(m_host.Doc().m_shapeList, static_cast<int>(width() * ratio), static_cast<int>(height() * ratio));
}

void CMyvorla_ltView::ModelChanged()
{
    m_renderer.InvalidateGeometry();
    update();
}

void CMyvorla_ltView::LayersChanged()
{
    m_renderer.InvalidateLayers();
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
