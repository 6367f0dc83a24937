// The soak's undo and redo: after every action the model as it stands is noted for the step it
// belongs to, so that an undo or redo can be checked against the model that step had (and, for
// an import, the name); every change of the model must be a step, and a model that counts as
// unmodified must be the file it was saved as.
#include "SoakRun.h"

#include "app/CommandIds.h"
#include "model/ModelFile.h"

#include <QUndoStack>

namespace {

// A model of every step is kept as a digest of the bytes a save writes (FNV-1a), so that a
// hundred steps of a big model cost the soak no memory to speak of: the memory bounds count the
// soak's own memory too.
class CDigestSink : public CByteSink {
public:
    bool Write(const void* src, std::size_t n) override
    {
        for (const unsigned char* p = static_cast<const unsigned char*>(src); n > 0; --n, ++p)
            m_digest = (m_digest ^ *p) * 0x100000001b3ull;
        return true;
    }
    std::size_t m_digest = 0xcbf29ce484222325ull;
};

// The model's digest but for the selection: the selection is no step, so an undo keeps the
// selection of the faces it does not touch. The flags are masked in place and put back.
std::size_t DigestWithoutSelection(CShapeList& shapes)
{
    std::vector<int32_t> flags;
    flags.reserve(shapes.size());
    for (CShape& shape : shapes) {
        flags.push_back(shape.m_selected);
        shape.m_selected = 0;
    }
    CDigestSink sink;
    WriteModelFile(sink, shapes);
    for (std::size_t i = 0; i < shapes.size(); ++i) shapes[i].m_selected = flags[i];
    return sink.m_digest;
}

}  // namespace

CSoakRun::SHistoryState CSoakRun::CurrentState()
{
    return {DigestWithoutSelection(Doc().m_shapeList), m_program->Host().PathName()};
}

CSoakRun::SHistoryState* CSoakRun::ExpectedState(int index)
{
    QUndoStack& stack = m_program->Host().History().Stack();
    if (index == 0) return &m_historyBase;
    const auto it = m_afterStep.find(stack.command(index - 1));
    return it == m_afterStep.end() ? nullptr : &it->second;
}

void CSoakRun::Undo()
{
    StepThroughHistory(true);
}

void CSoakRun::Redo()
{
    StepThroughHistory(false);
}

void CSoakRun::StepThroughHistory(bool back)
{
    // A redo may add faces again; like spheres and insertions it keeps the model small enough
    // for a long run.
    if (!back && Doc().m_shapeList.size() >= kModelFacesLimit) return;
    QUndoStack& stack = m_program->Host().History().Stack();
    const int index = stack.index();
    const bool possible = back ? stack.canUndo() : stack.canRedo();
    const SHistoryState before = CurrentState();
    // The menu item is there only while there is a step; the keys are always there.
    if (!possible || m_random.Percent(50))
        PressKey(back ? Qt::Key_Z : Qt::Key_Y, Qt::ControlModifier);
    else
        Trigger(back ? ID_EDIT_UNDO : ID_EDIT_REDO);
    if (!possible) {
        QCOMPARE(stack.index(), index);
        QVERIFY2(CurrentState().model == before.model, "an undo or redo with no step changed the model");
        return;
    }
    QCOMPARE(stack.index(), index + (back ? -1 : 1));
    // Undo and redo end a pending move.
    m_movePending = false;
    const SHistoryState* expected = ExpectedState(stack.index());
    QVERIFY2(expected, "no model noted for this step");
    QVERIFY2(CurrentState().model == expected->model,
             back ? "undo did not give back the model of the step before" : "redo did not give back the model of the step");
    // Only an import's step takes the name with it; other steps leave the name as a save set it.
    const QUndoCommand* crossed = stack.command(back ? stack.index() : stack.index() - 1);
    if (crossed->text() == QString::fromUtf8("DXF 読み込み")) m_expectedPath = expected->path;
    QCOMPARE(CurrentState().path, m_expectedPath);
}

void CSoakRun::CheckHistory(bool stepped)
{
    QUndoStack& stack = m_program->Host().History().Stack();
    const SHistoryState now = CurrentState();
    const QUndoCommand* first = stack.count() ? stack.command(0) : nullptr;
    const QUndoCommand* top = stack.index() ? stack.command(stack.index() - 1) : nullptr;
    if (!stepped) {
        const SHistoryState* noted = ExpectedState(stack.index());
        const bool sameSteps = stack.count() == m_noted.count && stack.index() == m_noted.index && first == m_noted.first &&
                               top == m_noted.top;
        // An insertion takes the click that places its faces into its own step.
        const bool placement = top && top->text() == QString::fromUtf8("挿入");
        if (sameSteps && noted && !placement && !m_historyFresh)
            QVERIFY2(noted->model == now.model, "the model changed without a step that undoes it");
        // The oldest step went over the limit: the model before the new oldest is the base.
        if (stack.count() && first != m_noted.first && m_noted.first && m_afterStep.count(m_noted.first) &&
            stack.index() == m_noted.index)
            m_historyBase = m_afterStep[m_noted.first];
        if (stack.count() == 0) m_afterStep.clear();
        if (stack.index() == 0)
            m_historyBase = now;
        else
            m_afterStep[top] = now;
    }
    // Forget the steps that are gone.
    for (auto it = m_afterStep.begin(); it != m_afterStep.end();) {
        bool kept = false;
        for (int i = 0; i < stack.count() && !kept; ++i) kept = stack.command(i) == it->first;
        it = kept ? std::next(it) : m_afterStep.erase(it);
    }
    m_noted = {stack.count(), stack.index(), first, top};
    m_historyFresh = false;

    // Unmodified means: what the file holds. (A file of another version opens as an empty,
    // unmodified model that is not what it holds.)
    if (Doc().IsModified() || now.path.isEmpty()) return;
    const std::optional<std::string> file = FileBytes(now.path);
    QVERIFY2(file, "an unmodified model's file is gone");
    CMyvorla_ltDoc scratch;
    CTablesGuard guard;
    CMemorySource source(*file);
    if (!LoadModel(source, scratch, file->size()).versionMatched) return;
    QVERIFY2(DigestWithoutSelection(scratch.m_shapeList) == now.model,
             "the model counts as unmodified but differs from the file it was saved as");
}
