// One soak run of the viewer: random user actions on the real program, each followed by checks
// of what the user would rely on (the model, the file on disk, the title, no stuck mouse grab,
// no dialog left open, no unexpected message), and the process's memory across the run.
#pragma once

#include "SoakSupport.h"

#include <QTemporaryDir>

#include <cstdint>
#include <map>
#include <vector>

class QUndoCommand;

// Spheres and insertions of saved models stop adding faces beyond this many, so a long run
// keeps a model of a size that every action handles quickly.
inline constexpr std::size_t kModelFacesLimit = 20000;

class CSoakRun {
public:
    CSoakRun(std::uint64_t seed, int actions);
    // Runs every action; stops at the first failed check (the Qt Test failure names the action).
    void Run();

    // Memory after the warm-up and at the end, each time with an empty model in an 800 x 600
    // window, and the most faces the model held.
    SMemory m_afterWarmUp;
    SMemory m_atEnd;
    std::size_t m_mostFaces = 0;

private:
    struct SAction {
        const char* name;
        int weight;
        void (CSoakRun::*run)();
    };

    // File menu.
    void Open();
    void OpenRecent();
    void New();
    void ImportDxf();
    void Insert();
    void Save();
    void SaveAndReopen();
    void Export();
    void Restart();
    // Creating and editing.
    void Sphere();
    void ClickFace();
    void ClickEmpty();
    void MoveMouse();
    void SelectAll();
    void ClearSelectionKey();
    void Cut();
    // Undo and redo, from the menu or the keys.
    void Undo();
    void Redo();
    // Looking around.
    void ToggleDisplay();
    void ViewKey();
    void Drag();
    void Wheel();
    void Tool();
    void Resize();
    // Dialogs.
    void Layers();
    void RenderSettings();
    void About();

    // Opens `path` through `open` (a command that asks for it or names it) and checks the
    // outcome: the file's model, or an empty untitled one after a refusal.
    void OpenThrough(const QString& path, const std::function<void()>& open);
    // Whether the save question let the command go on: not asked, No, or Yes with a save that
    // worked. The expected title follows a save that worked. The question must have been asked
    // exactly when the model was modified.
    bool QuestionLetThrough(bool wasModified);
    void Trigger(int id);
    void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void SendMouseMove(QPoint at, Qt::MouseButtons buttons);
    void LeftClick(QPoint at);
    // A frame with the current camera, so projections and picking use the same matrices.
    void DrawFrame();
    // Client point of a world point, through the last frame's matrices.
    QPointF ScreenOf(const float point[3]) const;
    // Index of the first face whose first corner is within the pick tolerance of `at`, -1 for
    // none; `ambiguous` is set when some corner lies right on the tolerance's edge.
    std::ptrdiff_t FirstCornerNear(QPoint at, bool& ambiguous) const;
    // Starts the program as a user does, with `arguments` as its command line.
    bool Start(const QStringList& arguments);
    // The model as a user returns to it: nothing pending, an empty untitled model, a frame.
    void Settle();

    void CheckAfterAction();
    // After every action: notes the model of the step the history is at, checks that a change
    // of the model made a step, and that an unmodified model is what its file holds.
    void CheckHistory(bool stepped);
    void CheckSaves();
    void CheckMessages();
    // The selected faces on shown layers moved by `by` (or, with `moved` false, nothing moved).
    void CheckMove(const CShapeList& before, const double by[3], bool moved);

    CMyvorla_ltDoc& Doc() { return m_program->Host().Doc(); }
    CMyvorla_ltView& View() { return m_program->View(); }
    QString TempPath(const QString& name) const { return m_dir.filePath(name); }
    void Allow(const char* text) { m_allowed << QString::fromUtf8(text); }
    void AllowSaveQuestion() { Allow("への変更を保存しますか？"); }

    // The model (without the selection) and its file at a step of the history.
    struct SHistoryState {
        std::size_t model = 0;  // digest of the bytes
        QString path;
    };
    SHistoryState CurrentState();
    // The state noted for history index `index`, or null.
    SHistoryState* ExpectedState(int index);
    void StepThroughHistory(bool back);
    SHistoryState m_historyBase;                          // at index 0
    std::map<const QUndoCommand*, SHistoryState> m_afterStep;  // after each step
    struct {
        int count = 0, index = 0;
        const QUndoCommand* first = nullptr;
        const QUndoCommand* top = nullptr;
    } m_noted;
    bool m_historyFresh = true;  // a new program or a settled one: nothing noted to compare with

    std::uint64_t m_seed;
    int m_actionCount;
    CSoakRandom m_random;
    CSoakPrompts m_prompts;
    std::unique_ptr<CStartedProgram> m_program;
    QTemporaryDir m_dir;
    std::vector<SAction> m_actions;
    int m_totalWeight = 0;

    // What the soak expects of the program between actions.
    QString m_expectedPath;     // the document's file, empty when untitled
    bool m_movePending = false; // the next empty click finishes a move
    int m_armedTools = 0;       // tool-bar tools armed and not yet used: 1 move, 2 rotate, 4 zoom
    QStringList m_allowed;      // texts the current action's message boxes may show
    QStringList m_saved;        // files this run saved, to open and insert again
    QString m_exportedDxf;      // a DXF this run wrote, to import again
    int m_index = 0;
    const char* m_current = "";
};
