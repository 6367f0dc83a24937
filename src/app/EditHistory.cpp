// The undo steps over the core's change records, their names, and the modified flag kept in
// line with the stack's saved state.
#include "app/EditHistory.h"

#include "app/DocumentHost.h"
#include "model/ModelEdits.h"

#include <QAction>
#include <QUndoCommand>

#include <vector>

namespace {

// Steps that may take the next move into themselves: an insertion and its placement.
constexpr int kInsertionId = 1;

class CEditStepCommand : public QUndoCommand {
public:
    CEditStepCommand(CEditHistory& history, EEditStep step, std::shared_ptr<CModelEdit> edit, bool placement = false)
        : QUndoCommand(CEditHistory::StepName(step)), m_history(history), m_step(step), m_placement(placement)
    {
        m_edits.push_back(std::move(edit));
    }

    // The change is made when the step is recorded; pushing it must not make it again.
    void redo() override
    {
        if (m_done) {
            m_done = false;
            return;
        }
        for (const auto& edit : m_edits) edit->Redo(m_history.Host().Doc());
        m_history.AfterUndoOrRedo();
    }
    void undo() override
    {
        for (auto it = m_edits.rbegin(); it != m_edits.rend(); ++it) (*it)->Undo(m_history.Host().Doc());
        m_history.AfterUndoOrRedo();
    }

    // An insertion takes the move that places its faces, once.
    int id() const override { return m_step == EEditStep::kInsert || m_placement ? kInsertionId : -1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        auto* move = dynamic_cast<const CEditStepCommand*>(other);
        if (m_step != EEditStep::kInsert || m_placed || !move || !move->m_placement) return false;
        m_edits.insert(m_edits.end(), move->m_edits.begin(), move->m_edits.end());
        m_placed = true;
        return true;
    }

protected:
    CEditHistory& m_history;

private:
    EEditStep m_step;
    bool m_placement;  // a move that places an insertion's faces
    bool m_placed = false;
    bool m_done = true;
    std::vector<std::shared_ptr<CModelEdit>> m_edits;
};

// A replaced model comes back with the name it had, and the new one with the name it had when
// it was undone (a save may have given it one).
class CReplacementCommand : public CEditStepCommand {
public:
    CReplacementCommand(CEditHistory& history, std::shared_ptr<CModelEdit> edit, QString previousPath)
        : CEditStepCommand(history, EEditStep::kImportDxf, std::move(edit)), m_otherPath(std::move(previousPath))
    {
    }
    void redo() override
    {
        CEditStepCommand::redo();
        SwapPath();
    }
    void undo() override
    {
        CEditStepCommand::undo();
        SwapPath();
    }

private:
    void SwapPath()
    {
        if (m_first) {
            m_first = false;  // the push: the new model already has its name
            return;
        }
        const QString shown = m_history.Host().PathName();
        m_history.Host().SetPathName(m_otherPath, false);
        m_otherPath = shown;
    }
    QString m_otherPath;  // the name of the model not shown
    bool m_first = true;
};

}  // namespace

CEditHistory::CEditHistory(CDocumentHost& host) : m_host(host)
{
    m_stack.setUndoLimit(kUndoLimit);
    connect(&m_stack, &QUndoStack::cleanChanged, this, &CEditHistory::SyncModified);
    connect(&m_stack, &QUndoStack::indexChanged, this, &CEditHistory::SyncModified);
}

QString CEditHistory::StepName(EEditStep step)
{
    switch (step) {
    case EEditStep::kCut: return QString::fromUtf8("切り取り");
    case EEditStep::kMove: return QString::fromUtf8("移動");
    case EEditStep::kInsert: return QString::fromUtf8("挿入");
    case EEditStep::kSphere: return QString::fromUtf8("球");
    case EEditStep::kImportDxf: return QString::fromUtf8("DXF 読み込み");
    case EEditStep::kLayers: return QString::fromUtf8("画層");
    case EEditStep::kMaterial: return QString::fromUtf8("色，材質");
    case EEditStep::kRenderSettings: return QString::fromUtf8("レンダリング設定");
    }
    return QString();
}

namespace {

// "元に戻す: 切り取り" while there is a step, the plain menu text with its mnemonic otherwise.
void KeepPlainTextWhenEmpty(QAction* action, const QString& plain, const QString& stepText)
{
    if (stepText.isEmpty()) action->setText(plain);
}

}  // namespace

QAction* CEditHistory::CreateUndoAction(QObject* parent)
{
    m_undo = m_stack.createUndoAction(parent, QString::fromUtf8("元に戻す:"));
    const QString plain = QString::fromUtf8("元に戻す(&U)");
    KeepPlainTextWhenEmpty(m_undo, plain, m_stack.undoText());
    connect(&m_stack, &QUndoStack::undoTextChanged, m_undo,
            [this, plain](const QString& text) { KeepPlainTextWhenEmpty(m_undo, plain, text); });
    return m_undo;
}

QAction* CEditHistory::CreateRedoAction(QObject* parent)
{
    m_redo = m_stack.createRedoAction(parent, QString::fromUtf8("やり直し:"));
    const QString plain = QString::fromUtf8("やり直し(&R)");
    KeepPlainTextWhenEmpty(m_redo, plain, m_stack.redoText());
    connect(&m_stack, &QUndoStack::redoTextChanged, m_redo,
            [this, plain](const QString& text) { KeepPlainTextWhenEmpty(m_redo, plain, text); });
    return m_redo;
}

void CEditHistory::Record(EEditStep step, std::shared_ptr<CModelEdit> edit, bool changedSomething)
{
    m_placementPending = false;
    if (!changedSomething) {
        ChangedWithoutStep();
        return;
    }
    m_stack.push(new CEditStepCommand(*this, step, std::move(edit)));
    m_placementPending = step == EEditStep::kInsert;
    SyncModified();
}

void CEditHistory::RecordReplacement(std::shared_ptr<CModelEdit> edit, const QString& previousPath, bool leavesModel)
{
    m_placementPending = false;
    m_stack.push(new CReplacementCommand(*this, std::move(edit), previousPath));
    if (!leavesModel) m_stack.setClean();
    SyncModified();
}

void CEditHistory::RecordMove(std::shared_ptr<CModelEdit> edit, bool movedSomething)
{
    const bool placement = m_placementPending;
    m_placementPending = false;
    if (!movedSomething) {
        ChangedWithoutStep();
        return;
    }
    m_stack.push(new CEditStepCommand(*this, EEditStep::kMove, std::move(edit), placement));
    SyncModified();
}

void CEditHistory::ChangedWithoutStep()
{
    // The model counts as changed until it is saved; undoing back to the state saved before
    // this is still that state, so a flag already set stays tied to the stack.
    if (m_stack.isClean()) m_stack.resetClean();
    SyncModified();
}

void CEditHistory::Clear()
{
    m_placementPending = false;
    m_stack.clear();
    // clear() leaves an empty stack as it was, also when a change without a step had left it
    // unclean.
    m_stack.setClean();
    SyncModified();
}

void CEditHistory::MarkSaved()
{
    m_stack.setClean();
    SyncModified();
}

void CEditHistory::SetLocked(bool locked)
{
    m_locked = locked;
    if (m_undo) m_undo->setEnabled(!locked && m_stack.canUndo());
    if (m_redo) m_redo->setEnabled(!locked && m_stack.canRedo());
}

void CEditHistory::AfterUndoOrRedo()
{
    m_placementPending = false;
    SyncModified();
    m_host.NotifyModelEdited();
}

void CEditHistory::SyncModified()
{
    m_host.Doc().SetModifiedFlag(!m_stack.isClean());
}
