// The status-bar hint that the model lies outside the view: decided at the first frame after a
// model was opened or imported, and withdrawn once the model comes into view or is fitted.
#pragma once

#include "model/Shape.h"

#include <QObject>

class QOpenGLWidget;

inline const char kFitHintText[] = "全体表示 (Home) でモデル全体を表示します";

class CFitHint : public QObject {
    Q_OBJECT
public:
    // Watches the frames of `view`, which draws `shapes`.
    CFitHint(QOpenGLWidget& view, const CShapeList& shapes);

    // A model was opened or imported: the next frame decides whether the hint shows.
    void ModelReplaced() { m_checkModel = true; }
    // The camera was fitted: the model is in view.
    void Withdraw() { Show(false); }
    bool IsShown() const { return m_shown; }

signals:
    void Changed(bool shown);

private:
    void AfterFrame();
    void Show(bool shown);

    QOpenGLWidget& m_view;
    const CShapeList& m_shapes;
    bool m_checkModel = false;
    bool m_shown = false;
    double m_min[3] = {}, m_max[3] = {};  // bounds of the shown faces while the hint shows
};
