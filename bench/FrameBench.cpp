// Frame time of the view's draw routine against two baselines, on a generated model:
// (a) the faces sent one by one in immediate mode with a layer search per face, and
// (b) the floor: the same triangles in one static vertex buffer drawn with one call.
// Navigation in the real program: the frames of a scripted orbit against whole frames, and the
// time from the orbit's last step to the whole picture. Also: the time from start-up to the
// first frame of a model file in the real program.
// usage: frame-bench FACES [FRAMES]  |  frame-bench --navigate FACES [ROUNDS]  |  frame-bench --startup MODEL.vrl
#define GL_GLEXT_PROTOTYPES 1
#include "app/Application.h"
#include "app/DocumentHost.h"
#include "app/MainFrame.h"
#include "model/Document.h"
#include "model/Globals.h"
#include "model/LayerTable.h"
#include "view/Camera.h"
#include "view/GLView.h"
#include "view/SceneRenderer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 1024, kHeight = 768;

void MakeModel(CMyvorla_ltDoc& doc, long faces)
{
    for (int i = 0; i < 20; ++i) {
        AddLayer("Layer-" + std::to_string(i));
        g_layerAttr[i][kRed] = (i % 5) / 4.0;
        g_layerAttr[i][kGreen] = (i % 4) / 3.0;
        g_layerAttr[i][kBlue] = (i % 3) / 2.0;
    }
    std::mt19937 random(7);
    std::uniform_real_distribution<float> place(-45000.0f, 45000.0f), size(20.0f, 200.0f);
    doc.m_shapeList.reserve(faces);
    for (long f = 0; f < faces; ++f) {
        CShape& s = doc.m_curShape;
        s.m_kind = 3;
        if (f % 1000 == 0) s.m_layer = g_layerName[(f / 1000) % 20];
        const float x = place(random), z = place(random), y = size(random) * 3, w = size(random);
        const float c[4][3] = {{x, 0, z}, {x + w, 0, z}, {x + w, y, z}, {x, y, z}};
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a) {
                s.m_vertex[k][a] = c[k][a];
                s.m_normal[k][a] = a == 2 ? 1.0f : 0.0f;
            }
        doc.AddShape();
    }
}

void SetUpLighting()
{
    const GLfloat globalAmbient[] = {0.4f, 0.4f, 0.4f, 1.0f}, lightAmbient[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat white[] = {1, 1, 1, 1}, position[] = {0, 0, 1, 0}, ambient[] = {0.2f, 0.2f, 0.2f, 1}, black[] = {0, 0, 0, 1};
    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, globalAmbient);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHT0);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 32.0f);
}

void BeginFrame()
{
    glClearColor(0.0f, 0.3f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glViewport(0, 0, kWidth, kHeight);
    double projection[16], modelview[16];
    SetUpFrame(kWidth, kHeight, projection, modelview);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    SetUpLighting();
    glLoadMatrixd(modelview);
}

// Baseline (a): what a plain immediate-mode draw does: every face, every frame, with a
// linear search of its layer.
void DrawImmediate(const CShapeList& shapes)
{
    BeginFrame();
    glBegin(GL_QUADS);
    for (const CShape& s : shapes) {
        const int layer = FindLayer(s.m_layer);
        if (!IsLayerIndexVisible(layer)) continue;
        double rgb[3];
        GetLayerIndexColor(layer, rgb);
        const GLfloat diffuse[] = {float(rgb[0]), float(rgb[1]), float(rgb[2]), 1.0f};
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
        for (int k = 0; k < 4; ++k) {
            glNormal3fv(s.m_normal[k]);
            glVertex3fv(s.m_vertex[k]);
        }
    }
    glEnd();
}

// Baseline (b): the floor, the same triangles in one buffer, one draw call.
struct CFloor {
    GLuint buffer = 0;
    GLsizei count = 0;
    void Build(const CShapeList& shapes)
    {
        struct V { float p[3], n[3]; uint8_t c[4]; };
        std::vector<V> vertices;
        vertices.reserve(shapes.size() * 6);
        for (const CShape& s : shapes) {
            double rgb[3];
            GetLayerIndexColor(FindLayer(s.m_layer), rgb);
            const uint8_t c[4] = {uint8_t(rgb[0] * 255), uint8_t(rgb[1] * 255), uint8_t(rgb[2] * 255), 255};
            for (int k : {0, 1, 2, 0, 2, 3}) {
                V v;
                std::copy_n(s.m_vertex[k], 3, v.p);
                std::copy_n(s.m_normal[k], 3, v.n);
                std::copy_n(c, 4, v.c);
                vertices.push_back(v);
            }
        }
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(V)), vertices.data(), GL_STATIC_DRAW);
        count = GLsizei(vertices.size());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    void Draw() const
    {
        BeginFrame();
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, 28, nullptr);
        glNormalPointer(GL_FLOAT, 28, reinterpret_cast<void*>(12));
        glColorPointer(4, GL_UNSIGNED_BYTE, 28, reinterpret_cast<void*>(24));
        glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glDrawArrays(GL_TRIANGLES, 0, count);
        glDisable(GL_COLOR_MATERIAL);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
};

template <typename F> double MedianMs(int frames, F draw)
{
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        QElapsedTimer timer;
        timer.start();
        draw();
        glFinish();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int RunFrames(long faces, int frames)
{
    QOffscreenSurface surface;
    surface.setFormat(CMyvorla_ltView::RequestedFormat());
    surface.create();
    QOpenGLContext context;
    context.setFormat(CMyvorla_ltView::RequestedFormat());
    if (!context.create() || !context.makeCurrent(&surface)) {
        std::fprintf(stderr, "frame-bench: no OpenGL context\n");
        return 1;
    }
    QOpenGLFramebufferObject fbo(kWidth, kHeight, QOpenGLFramebufferObject::Depth);
    fbo.bind();
    ResetGlobals();
    InitViewDefaults();
    CMyvorla_ltDoc doc;
    MakeModel(doc, faces);

    CSceneRenderer renderer;
    renderer.Initialize();
    QElapsedTimer first;
    first.start();
    renderer.Draw(doc.m_shapeList, kWidth, kHeight);
    glFinish();
    const double firstMs = first.nsecsElapsed() / 1e6;
    CFloor floor;
    floor.Build(doc.m_shapeList);

    // Interleave the three so a noisy neighbour hits all alike.
    std::vector<double> ours, immediate, floorTimes;
    for (int round = 0; round < 3; ++round) {
        ours.push_back(MedianMs(frames, [&] { renderer.Draw(doc.m_shapeList, kWidth, kHeight); }));
        floorTimes.push_back(MedianMs(frames, [&] { floor.Draw(); }));
        immediate.push_back(MedianMs(std::max(3, frames / 4), [&] { DrawImmediate(doc.m_shapeList); }));
    }
    for (auto* v : {&ours, &immediate, &floorTimes}) std::sort(v->begin(), v->end());
    std::printf("faces %ld, %dx%d, median of 3 rounds, each the median of %d frames\n", faces, kWidth, kHeight, frames);
    std::printf("  our draw:        %8.1f ms  (first frame with upload %.1f ms)\n", ours[1], firstMs);
    std::printf("  floor (one VBO): %8.1f ms\n", floorTimes[1]);
    std::printf("  immediate mode:  %8.1f ms\n", immediate[1]);
    std::printf("  ratio ours/floor %.2f (target <= 1.3), immediate/ours %.1f\n", ours[1] / floorTimes[1],
                immediate[1] / ours[1]);
    // The reduced frames of navigation: the drawing time follows the share of the faces drawn.
    renderer.Draw(doc.m_shapeList, kWidth, kHeight, 0.5);  // builds the lists of the largest faces once
    std::printf("  reduced frames (largest faces first; their lists built in %.0f ms), median of %d frames:\n   ",
                renderer.LastUploadMilliseconds(), frames);
    for (double share : {0.3, 0.1, 0.03, 0.01}) {
        std::printf(" share %.2f %.1f ms;", share,
                    MedianMs(frames, [&] { renderer.Draw(doc.m_shapeList, kWidth, kHeight, share); }));
    }
    std::printf("\n");
    renderer.Release();
    return 0;
}

// Sends one event to the view and waits until the frame it asks for has been shown; returns the
// milliseconds from the event to the swap.
double StepMs(CMyvorla_ltView& view, const std::function<void()>& step)
{
    QEventLoop loop;
    const auto swapped = QObject::connect(&view, &QOpenGLWidget::frameSwapped, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    step();
    loop.exec();
    QObject::disconnect(swapped);
    return timer.nsecsElapsed() / 1e6;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The real program with a generated model: rounds of a 60-step orbit (a right drag, 4 pixels
// a step) followed by whole frames of the same camera, alternating so that the machine's load
// falls on both alike.
int RunNavigate(long faces, int rounds)
{
    CMyvorla_ltApp app;
    if (!app.InitInstance({QStringLiteral("vorla")})) return 1;
    CMyvorla_ltView& view = *app.MainFrame()->View();
    MakeModel(app.Host()->Doc(), faces);
    view.ModelChanged();
    QElapsedTimer first;
    first.start();
    StepMs(view, [&] { view.update(); });  // builds and uploads the buffers
    const double firstMs = first.nsecsElapsed() / 1e6;

    constexpr int kSteps = 60;
    const QPoint centre(view.width() / 2, view.height() / 2);
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), view.mapToGlobal(QPointF(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::RightButton, held, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    };
    std::vector<double> whole, navigation, settle, shares;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 3; ++i) whole.push_back(StepMs(view, [&] { view.update(); }));
        send(QEvent::MouseButtonPress, centre, Qt::RightButton);
        QElapsedTimer sinceLastStep;
        for (int step = 1; step <= kSteps; ++step) {
            const QPoint at = centre + QPoint((round % 2 ? -4 : 4) * step, 0);
            navigation.push_back(StepMs(view, [&] {
                sinceLastStep.start();
                send(QEvent::MouseMove, at, Qt::RightButton);
            }));
            shares.push_back(view.LastFrameShare());
        }
        // The whole picture comes back by itself once the camera has been still long enough.
        while (view.LastFrameShare() < 1.0) StepMs(view, [] {});
        settle.push_back(sinceLastStep.nsecsElapsed() / 1e9);
        send(QEvent::MouseButtonRelease, centre + QPoint((round % 2 ? -4 : 4) * kSteps, 0), Qt::NoButton);
    }
    std::printf("faces %ld, view %dx%d, %d rounds of a %d-step orbit and 3 whole frames (first frame with upload "
                "%.0f ms)\n", faces, view.width(), view.height(), rounds, kSteps, firstMs);
    std::printf("whole %ld: frame %.1f ms\n", faces, Median(whole));
    std::printf("navigate %ld: frame %.1f ms, full picture after %.2f s\n", faces, Median(navigation), Median(settle));
    std::printf("  navigation frames drew a median share of %.3f of the primitives; whole / navigation frame %.1f\n",
                Median(shares), Median(whole) / Median(navigation));
    return 0;
}

int RunStartup(const QString& path, QElapsedTimer& sinceStart)
{
    CMyvorla_ltApp app;
    CMyvorla_ltView* view = nullptr;
    if (!app.InitInstance({QStringLiteral("vorla"), path})) return 1;
    view = app.MainFrame()->View();
    QObject::connect(view, &QOpenGLWidget::frameSwapped, [&] {
        std::printf("start-up to first frame: %.0f ms\n", sinceStart.nsecsElapsed() / 1e6);
        QApplication::quit();
    });
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    SetUpApplicationIdentity();
    QApplication app(argc, argv);
    if (argc >= 3 && std::string(argv[1]) == "--startup") return RunStartup(QString::fromLocal8Bit(argv[2]), sinceStart);
    if (argc >= 3 && std::string(argv[1]) == "--navigate")
        return RunNavigate(std::atol(argv[2]), argc > 3 ? std::max(1, std::atoi(argv[3])) : 3);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: frame-bench FACES [FRAMES] | frame-bench --navigate FACES [ROUNDS] | frame-bench --startup MODEL.vrl\n");
        return 2;
    }
    return RunFrames(std::atol(argv[1]), argc > 2 ? std::atoi(argv[2]) : 15);
}
