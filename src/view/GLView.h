// CMyvorla_ltView: the OpenGL view of the model. It draws the frame, forwards mouse, wheel and
// key events to the navigation and picking logic, and carries the view's commands.
#pragma once

#include "interaction/NavigationTools.h"
#include "view/FrameBudget.h"
#include "view/SceneRenderer.h"

#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <QElapsedTimer>
#include <QTimer>

class CDocumentHost;
class CFitHint;

class CMyvorla_ltView : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit CMyvorla_ltView(CDocumentHost& host, QWidget* parent = nullptr);
    ~CMyvorla_ltView() override;

    // The surface every view asks for: compatibility profile, RGBA, double buffer, depth.
    static QSurfaceFormat RequestedFormat();
    // 0 when a context with the requested format can be had; 1 when none can be created;
    // 2 when the one created lacks a depth buffer or RGBA colour.
    static int CheckGLSupport();

    CDocumentHost& Host() { return m_host; }
    // Whether an OpenGL context could be had at start-up. Without one the view must stay out of
    // every window (Qt cannot compose such a window) and the program goes on without a picture.
    bool HasGL() const { return m_glStatus == 0; }
    // The hint that the model lies outside the view (see CFitHint).
    CFitHint& FitHint() { return *m_fitHint; }

    // What changed: the next frame rebuilds the buffers it needs and the view repaints.
    void ModelChanged();
    // The faces were replaced by another model's: a pending move of the old ones ends too.
    void ModelReplaced();
    void LayersChanged();
    void SelectionChanged();

    // View menu.
    void OnWireframe();
    void OnParallel();
    void OnWalkThrough();
    // Places the camera so the faces on shown layers fill the view, keeping pitch and yaw.
    void OnFitToView();

    // Tool bar: one-shot navigation tools.
    void OnToolMove() { Apply(m_nav.OnToolMove()); }
    void OnToolRotate() { Apply(m_nav.OnToolRotate()); }
    void OnToolZoom() { Apply(m_nav.OnToolZoom()); }

    // Edit menu and Escape.
    void OnEditCut();
    void OnEditSelectAll();
    void OnEscape();

    // The end of Insert: the inserted faces follow the cursor until the next empty click.
    void OnInsertFinished() { Apply(m_nav.OnInsertFinished()); }

    CNavigationTools& Navigation() { return m_nav; }

    // Carries out what the interaction logic asks for after an event or command.
    void Apply(const SViewActions& actions);

    // While the camera moves, and until it has been still for CFrameBudget::kSettleMs, a model
    // too big for fluid frames is drawn reduced (its largest faces); then whole again.
    bool IsNavigating() const { return m_settle.isActive(); }
    // The share of the model's primitives the last frame drew: 1 for the whole picture.
    double LastFrameShare() const { return m_renderer.LastShare(); }
    // The whole picture as it is now, also while the camera moves (printing takes it).
    QImage GrabWholePicture();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ReleaseGL();
    void OnFrameSwapped();

    CDocumentHost& m_host;
    // Client point of an event in framebuffer pixels, as the frame's matrices count them.
    QPoint PixelPoint(const QPointF& position) const;

    CSceneRenderer m_renderer;
    CNavigationTools m_nav;
    int m_glStatus = 0;  // CheckGLSupport at creation
    CFitHint* m_fitHint;
    CFrameBudget m_budget;
    QTimer m_settle;  // runs from each camera step until the camera has been still long enough
    QElapsedTimer m_sinceDrawn;  // from the end of the last drawing to its frame being shown
    double m_showMs = 0;         // how long showing the last frame took, in milliseconds
};
