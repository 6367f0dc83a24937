// The soak's loop, its checks after every action and its memory figures.
#include "SoakRun.h"

#include "app/CommandIds.h"
#include "interaction/MoveState.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QSettings>

#include <cmath>
#include <cstdio>

namespace {

// Qt's own complaints that the virtual X server causes and that say nothing about the program.
bool IsHarmlessQtMessage(const QString& message)
{
    static const char* const kHarmless[] = {
        "This plugin does not support",  // no window manager under Xvfb
    };
    for (const char* text : kHarmless)
        if (message.contains(QLatin1String(text))) return true;
    return false;
}

}  // namespace

CSoakRun::CSoakRun(std::uint64_t seed, int actions)
    : m_seed(seed), m_actionCount(actions), m_random(seed), m_prompts(m_random)
{
    m_actions = {
        {"open", 5, &CSoakRun::Open},
        {"open-recent", 1, &CSoakRun::OpenRecent},
        {"new", 2, &CSoakRun::New},
        {"import-dxf", 3, &CSoakRun::ImportDxf},
        {"insert", 4, &CSoakRun::Insert},
        {"save", 4, &CSoakRun::Save},
        {"save-and-reopen", 2, &CSoakRun::SaveAndReopen},
        {"export", 1, &CSoakRun::Export},
        {"exit-and-start", 1, &CSoakRun::Restart},
        {"sphere", 3, &CSoakRun::Sphere},
        {"click-face", 10, &CSoakRun::ClickFace},
        {"click-empty", 7, &CSoakRun::ClickEmpty},
        {"move-mouse", 4, &CSoakRun::MoveMouse},
        {"select-all", 3, &CSoakRun::SelectAll},
        {"clear-selection", 2, &CSoakRun::ClearSelectionKey},
        {"cut", 3, &CSoakRun::Cut},
        {"undo", 5, &CSoakRun::Undo},
        {"redo", 3, &CSoakRun::Redo},
        {"toggle-display", 4, &CSoakRun::ToggleDisplay},
        {"view-key", 6, &CSoakRun::ViewKey},
        {"drag", 5, &CSoakRun::Drag},
        {"wheel", 3, &CSoakRun::Wheel},
        {"tool", 4, &CSoakRun::Tool},
        {"resize", 1, &CSoakRun::Resize},
        {"layers", 3, &CSoakRun::Layers},
        {"render-settings", 2, &CSoakRun::RenderSettings},
        {"about", 1, &CSoakRun::About},
    };
    // VORLA_SOAK_ONLY=name,name narrows a run to some actions, to look into one of them.
    const QStringList only = qEnvironmentVariable("VORLA_SOAK_ONLY").split(',', Qt::SkipEmptyParts);
    if (!only.isEmpty())
        std::erase_if(m_actions, [&](const SAction& action) { return !only.contains(QLatin1String(action.name)); });
    for (const SAction& action : m_actions) m_totalWeight += action.weight;
}

void CSoakRun::Run()
{
    QVERIFY(m_dir.isValid());
    // Every input is a copy: Yes to the save question saves over the model's own file, and a
    // DXF opened as a model is such a file too. "example.vrl" is only inserted, so it stays as
    // it is. Made from the example: one file cut short, one of another version. The recent-file
    // list starts empty, so a replay does not depend on earlier runs.
    const std::optional<std::string> example = FileBytes(QStringLiteral(VORLA_EXAMPLES "/boxes.vrl"));
    QVERIFY(example);
    QVERIFY(WriteBytes(TempPath(QStringLiteral("boxes.vrl")), *example));
    QVERIFY(WriteBytes(TempPath(QStringLiteral("example.vrl")), *example));
    QVERIFY(WriteBytes(TempPath(QStringLiteral("many-layers.dxf")), ManyLayersDxf()));
    QVERIFY(WriteBytes(TempPath(QStringLiteral("full-table.vrl")), FullTableModel()));
    for (const char* name : {"faces.dxf", "poli_thick_r12.dxf"}) {
        const std::optional<std::string> dxf = FileBytes(QStringLiteral(VORLA_TEST_DATA "/dxf/") + QLatin1String(name));
        QVERIFY(dxf);
        QVERIFY(WriteBytes(TempPath(QLatin1String(name)), *dxf));
    }
    QVERIFY(WriteBytes(TempPath(QStringLiteral("broken.vrl")), example->substr(0, example->size() * 2 / 5)));
    std::string otherVersion = *example;
    otherVersion[15] = '6';  // "Vorla_III V0.06     " after the length byte
    QVERIFY(WriteBytes(TempPath(QStringLiteral("old-version.vrl")), otherVersion));
    QSettings().remove(QStringLiteral("Recent File List"));
    m_prompts.m_savePath = [this] { return TempPath(QStringLiteral("model-%1.vrl").arg(m_random.Below(4))); };
    m_prompts.m_unwritablePath = TempPath(QStringLiteral("missing-folder/model.vrl"));
    QVERIFY(Start({QStringLiteral("vorla")}));
    StartCollectingQtMessages();

    const bool trace = qEnvironmentVariableIsSet("VORLA_SOAK_TRACE");
    const int warmUp = std::min(200, m_actionCount / 5);
    for (m_index = 0; m_index < m_actionCount; ++m_index) {
        if (m_index > 0 && m_index % 1000 == 0) {
            const SMemory now = MeasureMemory();
            std::printf("soak: action %d: resident %s MiB, heap in use %s MiB, %zu faces\n", m_index,
                        qPrintable(Mebibytes(now.resident)), qPrintable(Mebibytes(now.heap)), Doc().m_shapeList.size());
        }
        if (m_index == warmUp) {
            Settle();
            m_afterWarmUp = MeasureMemory();
        }
        int roll = m_random.Below(m_totalWeight);
        const SAction* action = &m_actions.front();
        for (const SAction& candidate : m_actions) {
            if (roll < candidate.weight) {
                action = &candidate;
                break;
            }
            roll -= candidate.weight;
        }
        m_current = action->name;
        if (trace) std::fprintf(stderr, "soak %d %s (%zu faces)\n", m_index, m_current, Doc().m_shapeList.size());
        m_prompts.StartAction();
        m_allowed.clear();
        (this->*action->run)();
        if (!QTest::currentTestFailed()) CheckAfterAction();
        if (!QTest::currentTestFailed()) CheckHistory(action->run == &CSoakRun::Undo || action->run == &CSoakRun::Redo);
        m_mostFaces = std::max(m_mostFaces, Doc().m_shapeList.size());
        if (QTest::currentTestFailed()) {
            std::fprintf(stderr, "soak: failed at action %d (%s); replay with VORLA_SOAK_SEED=%llu VORLA_SOAK_ACTIONS=%d\n",
                         m_index, m_current, static_cast<unsigned long long>(m_seed), m_actionCount);
            return;
        }
    }
    m_current = "settle";
    Settle();
    m_atEnd = MeasureMemory();
}

bool CSoakRun::Start(const QStringList& arguments)
{
    m_program.reset();
    m_program = std::make_unique<CStartedProgram>(arguments);
    m_prompts.SetHost(&m_program->Host());
    m_movePending = false;
    m_armedTools = 0;
    m_expectedPath.clear();
    m_afterStep.clear();
    m_noted = {};
    m_historyFresh = true;
    // The model a first undo or redo (which notes nothing) is checked against.
    if (m_program->ok) m_historyBase = CurrentState();
    if (m_program->ok && arguments.size() > 1) m_expectedPath = QFileInfo(arguments[1]).absoluteFilePath();
    return m_program->ok;
}

void CSoakRun::Settle()
{
    m_prompts.StartAction();
    m_prompts.m_fixedAnswer = QMessageBox::No;
    if (m_armedTools) {
        // A left click spends the armed tools.
        LeftClick(QPoint(10, 10));
    }
    m_program->Host().OnFileNew();
    m_prompts.m_fixedAnswer.reset();
    // The same window and view size each time: the back buffers grow with them.
    m_program->Frame().Action(ID_VIEW_TOOLBAR)->setChecked(true);
    m_program->Frame().Action(ID_VIEW_STATUS_BAR)->setChecked(true);
    m_program->Frame().resize(800, 600);
    // Qt keeps the pixmaps it draws icons with in a cache of bounded size (10 MiB); emptied, it
    // does not count as growth.
    QPixmapCache::clear();
    m_expectedPath.clear();
    m_movePending = false;
    m_historyFresh = true;
    m_afterStep.clear();
    m_historyBase = CurrentState();
    DrawFrame();
    QCoreApplication::processEvents();
}

void CSoakRun::CheckAfterAction()
{
    QVERIFY2(!QApplication::activeModalWidget(), "a dialog is still open");
    CheckMessages();
    if (QTest::currentTestFailed()) return;
    CheckSaves();
    if (QTest::currentTestFailed()) return;
    QCOMPARE(m_program->Host().PathName(), m_expectedPath);
    QCOMPARE(m_program->Frame().windowTitle(), m_program->Host().Title() + QStringLiteral(" - Vorla_DORAZ"));
    QVERIFY(g_layerCount >= 0 && g_layerCount <= kMaxLayers);
    // The view holds the mouse only while a tool waits for its drag.
    QWidget* grabber = QWidget::mouseGrabber();
    QVERIFY2(grabber == (m_armedTools ? &View() : nullptr), "the mouse is grabbed when it should not be, or not when it should");
    if (m_index % 20 == 0) {
        const QImage frame = m_program->Grab();
        QVERIFY(!frame.isNull());
        QCOMPARE(frame.size(), View().size() * View().devicePixelRatio());
    }
}

void CSoakRun::CheckMessages()
{
    for (const QString& shown : m_prompts.m_shown) {
        bool allowed = false;
        for (const QString& text : m_allowed) allowed = allowed || shown.contains(text);
        QVERIFY2(allowed, qPrintable(QStringLiteral("unexpected message: ") + shown));
    }
    for (const QString& message : TakeQtMessages())
        QVERIFY2(IsHarmlessQtMessage(message), qPrintable(QStringLiteral("Qt says: ") + message));
}

void CSoakRun::CheckSaves()
{
    for (const SExpectedSave& save : m_prompts.m_saves) {
        if (save.mustFail) {
            QVERIFY2(m_prompts.m_shown.join('\n').contains(QString::fromUtf8("に保存できません")), "a failed save was not reported");
            QVERIFY(!FileBytes(save.path));
            continue;
        }
        const std::optional<std::string> bytes = FileBytes(save.path);
        QVERIFY2(bytes, qPrintable(save.path + QStringLiteral(" was not saved")));
        QVERIFY2(*bytes == save.bytes, qPrintable(save.path + QStringLiteral(" does not hold the model as it was saved")));
        const std::string difference = ReloadDifference(*bytes);
        QVERIFY2(difference.empty(), difference.c_str());
        if (!m_saved.contains(save.path)) m_saved << save.path;
    }
}

bool CSoakRun::QuestionLetThrough(bool wasModified)
{
    // Unsaved changes, and only those, are asked about before the model is replaced.
    [&] { QCOMPARE(m_prompts.m_questionAsked, wasModified); }();
    if (!m_prompts.m_questionAsked || m_prompts.m_answer == QMessageBox::No) return true;
    if (m_prompts.m_answer == QMessageBox::Cancel) return false;
    Allow("に保存できません");
    for (const SExpectedSave& save : m_prompts.m_saves)
        if (save.mustFail) return false;
    if (m_prompts.m_saves.empty()) return false;  // the save dialog was cancelled
    m_expectedPath = m_prompts.m_saves.back().path;
    return true;
}

void CSoakRun::CheckMove(const CShapeList& before, const double by[3], bool moved)
{
    const CShapeList& after = Doc().m_shapeList;
    QCOMPARE(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        const bool shouldMove = moved && before[i].m_selected == 1 && IsLayerIndexVisible(FindLayer(before[i].m_layer));
        for (int k = 0; k < 4; ++k)
            for (int c = 0; c < 3; ++c) {
                const double expected = double(before[i].m_vertex[k][c]) + (shouldMove ? by[c] : 0.0);
                const double tolerance = shouldMove ? 1e-3 + 1e-6 * (std::fabs(expected) + std::fabs(by[c])) : 0.0;
                QVERIFY2(std::fabs(after[i].m_vertex[k][c] - expected) <= tolerance,
                         qPrintable(QStringLiteral("face %1 corner %2 axis %3: %4, expected %5 (%6 by %7)")
                                        .arg(i).arg(k).arg(c).arg(after[i].m_vertex[k][c]).arg(expected)
                                        .arg(shouldMove ? "moved" : "not moved").arg(by[c])));
            }
        QCOMPARE(after[i].m_selected, before[i].m_selected);
    }
}

void CSoakRun::Trigger(int id)
{
    QAction* action = m_program->Frame().Action(id);
    QVERIFY(action && action->isEnabled());
    action->trigger();
}

void CSoakRun::PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    // Shortcuts reach the view only in the active window, as the user's keys do.
    m_program->Frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_program->Frame()));
    View().setFocus();
    QTest::keyClick(&View(), key, modifiers);
}

void CSoakRun::SendMouseMove(QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), View().mapToGlobal(QPointF(at)), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(&View(), &move);
}

void CSoakRun::LeftClick(QPoint at)
{
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, at);
    // The left button spends every armed tool; a zoom drag also ends a pending move's tracking.
    if (m_armedTools & 4) m_movePending = false;
    m_armedTools = 0;
}

void CSoakRun::DrawFrame()
{
    (void)m_program->Grab();
}

QPointF CSoakRun::ScreenOf(const float point[3]) const
{
    double window[3] = {};
    if (!ProjectPoint(point[0], point[1], point[2], g_modelview, g_projection, g_viewport, window))
        return QPointF(-1e9, -1e9);
    return QPointF(window[0], g_viewport[3] - window[1]);
}

std::ptrdiff_t CSoakRun::FirstCornerNear(QPoint at, bool& ambiguous) const
{
    ambiguous = false;
    const CShapeList& shapes = m_program->Host().Doc().m_shapeList;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const QPointF p = ScreenOf(shapes[i].m_vertex[0]);
        const double dx = std::fabs(p.x() - at.x()), dy = std::fabs(p.y() - at.y());
        if (dx < 3.0 && dy < 3.0) {
            ambiguous = ambiguous || dx > 2.99 || dy > 2.99;
            return std::ptrdiff_t(i);
        }
        if ((dx < 3.01 && dy < 3.01)) ambiguous = true;
    }
    return -1;
}
