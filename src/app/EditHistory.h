// The undo history of the model: a QUndoStack of steps, each holding the core's record of one
// change. The document's modified flag follows the stack back to the state last saved.
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <memory>

class CDocumentHost;
class CModelEdit;
class QAction;

// The kinds of step, named in the menu as "元に戻す: 切り取り".
enum class EEditStep { kCut, kMove, kInsert, kSphere, kImportDxf, kLayers, kMaterial, kRenderSettings };

class CEditHistory : public QObject {
    Q_OBJECT
public:
    // More than the 50 steps a user may count on; each step holds only what it changed.
    static constexpr int kUndoLimit = 100;

    explicit CEditHistory(CDocumentHost& host);

    // The menu's Undo and Redo, with the step's name in their text.
    QAction* CreateUndoAction(QObject* parent);
    QAction* CreateRedoAction(QObject* parent);
    static QString StepName(EEditStep step);

    // A change already made. A record that changed nothing (a cut or a move with nothing
    // selected) is no step, but the model counts as changed, as it always has.
    void Record(EEditStep step, std::shared_ptr<CModelEdit> edit, bool changedSomething = true);
    // A model put in place of the previous one (a DXF import), already under its new name:
    // undo brings the previous model back under `previousPath`, redo the new one under the name
    // it had when it was undone. A model without faces counts as unchanged, like a new model.
    void RecordReplacement(std::shared_ptr<CModelEdit> edit, const QString& previousPath, bool leavesModel);
    // The two-click move: its first click, and its end with the corners it replaced. The move
    // that places the faces an insertion just added is part of that insertion's step.
    void MoveStarted() { m_placementPending = false; }
    void RecordMove(std::shared_ptr<CModelEdit> edit, bool movedSomething);

    // Opening a model or starting a new one: there is nothing to go back to.
    void Clear();
    // The model was saved as it is now.
    void MarkSaved();

    // While a file is read, no step may be undone or redone.
    void SetLocked(bool locked);

    QUndoStack& Stack() { return m_stack; }

    // Called by the steps after the model changed under them.
    void AfterUndoOrRedo();
    CDocumentHost& Host() { return m_host; }

private:
    void ChangedWithoutStep();
    void SyncModified();

    CDocumentHost& m_host;
    QUndoStack m_stack;
    bool m_placementPending = false;
    bool m_locked = false;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
};
