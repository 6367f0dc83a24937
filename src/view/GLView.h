// CMyvorla_ltView: the OpenGL view of the model. It draws the frame, forwards mouse, wheel and
// key events to the navigation and picking logic, and carries the view's commands.
#pragma once

#include "view/SceneRenderer.h"

#include <QOpenGLWidget>
#include <QSurfaceFormat>

class CDocumentHost;

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

    // What changed: the next frame rebuilds the buffers it needs and the view repaints.
    void ModelChanged();
    void LayersChanged();
    void SelectionChanged();

    // View menu.
    void OnWireframe();
    void OnParallel();
    void OnWalkThrough();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

private:
    void ReleaseGL();

    CDocumentHost& m_host;
    CSceneRenderer m_renderer;
};
