// The soak's File menu: open, recent files, New, DXF import, insert, save, export; each
// checked against what the file holds and what the save question allowed.
#include "SoakRun.h"

#include "app/CommandIds.h"
#include "import/DxfReader.h"
#include "model/ModelFile.h"

#include <QFileInfo>
#include <QUndoStack>
#include <QMenu>
#include <QStatusBar>

namespace {


// What opening `bytes` gives in a freshly loaded document, leaving the program's tables alone.
struct SExpectedOpen {
    bool ok = false;
    bool versionMatched = false;
};

SExpectedOpen ExpectedOpen(const std::optional<std::string>& bytes)
{
    if (!bytes) return {};
    CTablesGuard guard;
    CMyvorla_ltDoc scratch;
    CMemorySource source(*bytes);
    const CLoadResult result = LoadModel(source, scratch, bytes->size());
    return {result.ok, result.versionMatched};
}

}  // namespace

void CSoakRun::OpenThrough(const QString& path, const std::function<void()>& open)
{
    const CShapeList before = Doc().m_shapeList;
    const bool wasModified = Doc().IsModified();
    const std::string tablesBefore = ModelBytes({});
    AllowSaveQuestion();
    open();
    if (QTest::currentTestFailed()) return;
    // Read after the command: Yes to the save question may have saved over the file first.
    const std::optional<std::string> file = FileBytes(path);
    const SExpectedOpen expected = ExpectedOpen(file);
    if (!expected.ok) Allow("が開けません");
    if (expected.ok && !expected.versionMatched) Allow("のモデル ファイルではありません");
    if (!QuestionLetThrough(wasModified)) {
        QVERIFY2(Doc().m_shapeList == before, "a cancelled open changed the model");
        if (m_prompts.m_saves.empty()) QCOMPARE(Doc().IsModified(), wasModified);
        return;
    }
    // Replacing the model ends a move that was pending on the old one, and the history.
    m_movePending = false;
    m_historyFresh = true;
    QVERIFY(!Doc().IsModified());
    QVERIFY(!m_program->Host().History().Stack().canUndo());
    if (!expected.ok) {
        QVERIFY2(m_prompts.m_shown.join('\n').contains(QString::fromUtf8("が開けません")), "a refused file was not reported");
        QVERIFY(Doc().m_shapeList.empty());
        m_expectedPath.clear();
        return;
    }
    m_expectedPath = QFileInfo(path).absoluteFilePath();
    if (!expected.versionMatched) {
        // Another version opens as an empty model and leaves the tables alone.
        QVERIFY(Doc().m_shapeList.empty());
        QVERIFY2(ModelBytes({}) == tablesBefore, "a file of another version changed the layers or settings");
        return;
    }
    QVERIFY2(ModelBytes(Doc().m_shapeList) == *file,
             qPrintable(path + QStringLiteral(": the opened model differs from its file (%1 faces, %2 bytes against %3)")
                                   .arg(Doc().m_shapeList.size())
                                   .arg(ModelBytes(Doc().m_shapeList).size())
                                   .arg(file->size())));
}

void CSoakRun::Open()
{
    QStringList candidates;
    for (const char* name : {"boxes.vrl", "boxes.vrl", "full-table.vrl", "broken.vrl", "old-version.vrl", "missing.vrl", "faces.dxf"})
        candidates << TempPath(QLatin1String(name));
    // Files this run saved, more often than the odd ones.
    for (int i = 0; i < 2; ++i) candidates += m_saved;
    const QString path = candidates[m_random.Below(int(candidates.size()))];
    OpenThrough(path, [this, path] {
        m_prompts.m_files.enqueue(path);
        if (m_random.Percent(50))
            PressKey(Qt::Key_O, Qt::ControlModifier);
        else
            Trigger(ID_FILE_OPEN);
    });
}

void CSoakRun::OpenRecent()
{
    QList<QAction*> recent;
    for (QAction* action : m_program->Frame().FileMenu()->actions())
        if (action->objectName().startsWith(QLatin1String("recentFile"))) recent << action;
    if (recent.isEmpty()) return;
    QAction* action = recent[m_random.Below(int(recent.size()))];
    const QString text = action->text();
    const QString path = text.mid(text.indexOf(' ') + 1);
    OpenThrough(path, [action] { action->trigger(); });
}

void CSoakRun::New()
{
    const CShapeList before = Doc().m_shapeList;
    const bool wasModified = Doc().IsModified();
    AllowSaveQuestion();
    if (m_random.Percent(50))
        PressKey(Qt::Key_N, Qt::ControlModifier);
    else
        Trigger(ID_FILE_NEW);
    if (QTest::currentTestFailed()) return;
    if (!QuestionLetThrough(wasModified)) {
        QVERIFY2(Doc().m_shapeList == before, "a cancelled New changed the model");
        return;
    }
    m_expectedPath.clear();
    m_movePending = false;
    m_historyFresh = true;
    QVERIFY(Doc().m_shapeList.empty());
    QVERIFY(!Doc().IsModified());
    QVERIFY(!m_program->Host().History().Stack().canUndo());
}

void CSoakRun::ImportDxf()
{
    QStringList candidates;
    for (const char* name : {"faces.dxf", "poli_thick_r12.dxf", "many-layers.dxf", "missing.dxf"}) candidates << TempPath(QLatin1String(name));
    if (!m_exportedDxf.isEmpty()) candidates << m_exportedDxf << m_exportedDxf;
    const QString path = candidates[m_random.Below(int(candidates.size()))];
    const std::optional<std::string> file = FileBytes(path);
    const CShapeList before = Doc().m_shapeList;
    // The model the import must give, made from the same tables in a scratch document.
    std::string expected;
    if (file) {
        CTablesGuard guard;
        CMyvorla_ltDoc scratch;
        CMemorySource source(*file);
        ::ImportDxf(source, scratch);
        expected = ModelBytes(scratch.m_shapeList);
    }
    const bool wasModified = Doc().IsModified();
    Allow("が開けません");
    AllowSaveQuestion();
    m_prompts.m_files.enqueue(path);
    Trigger(ID_IMPORT_DXF);
    if (QTest::currentTestFailed()) return;
    if (!QuestionLetThrough(wasModified) || !file) {
        QVERIFY2(Doc().m_shapeList == before, "an import that did not happen changed the model");
        return;
    }
    // Undoing the import brings the model back under the name it had then, which the save
    // question may just have given it.
    const int index = m_program->Host().History().Stack().index();
    if (SHistoryState* previous = index > 0 ? ExpectedState(index - 1) : nullptr) previous->path = m_expectedPath;
    m_expectedPath.clear();
    m_movePending = false;
    QVERIFY2(ModelBytes(Doc().m_shapeList) == expected, "the imported model differs from a fresh import of the file");
    QCOMPARE(Doc().IsModified(), !Doc().m_shapeList.empty());
    QVERIFY(!m_program->Frame().statusBar()->currentMessage().isEmpty());
}

void CSoakRun::Insert()
{
    QStringList candidates;
    for (const char* name : {"example.vrl", "example.vrl", "full-table.vrl", "broken.vrl", "missing.vrl"})
        candidates << TempPath(QLatin1String(name));
    // Inserting a saved model into itself doubles it; the model stays small enough for a long run.
    if (Doc().m_shapeList.size() < kModelFacesLimit)
        for (const QString& saved : m_saved + QStringList{TempPath(QStringLiteral("boxes.vrl"))})
            if (QFileInfo(saved).size() < 256 * 1024) candidates << saved;
    const QString path = candidates[m_random.Below(int(candidates.size()))];
    const std::optional<std::string> file = FileBytes(path);
    CShapeList expected = Doc().m_shapeList;
    CModelFileContent content;
    bool readable = false;
    if (file) {
        CMemorySource source(*file);
        CModelReadOptions options;
        options.stopOnVersionMismatch = false;
        readable = ReadModelFile(source, content, options).empty();
    }
    Allow("が開けません");
    Allow("は挿入できません");
    m_prompts.m_files.enqueue(path);
    Trigger(ID_INSERT_MODEL);
    if (QTest::currentTestFailed()) return;
    if (file && !readable) {
        QVERIFY2(Doc().m_shapeList == expected, "a refused insertion changed the model");
        return;
    }
    for (CShape& shape : expected) shape.m_selected = 0;
    if (readable) {
        // The file's faces follow, selected, without their reserved values; a move is pending.
        for (CShape shape : content.shapes) {
            shape.m_selected = 1;
            std::fill(std::begin(shape.m_reserved), std::end(shape.m_reserved), 0.0f);
            expected.push_back(shape);
        }
        m_movePending = true;
    }
    QVERIFY2(Doc().m_shapeList == expected, "the model after an insertion is not the old one followed by the file's faces");
}

void CSoakRun::Save()
{
    Allow("に保存できません");
    const int how = m_random.Below(4);
    const bool saveAs = how == 3;
    // Save asks for a name over a file that is no model of this version, as for an untitled one.
    if (!saveAs && !m_expectedPath.isEmpty() && !m_program->Host().SaveNeedsName())
        m_prompts.m_saves.push_back({m_expectedPath, ModelBytes(Doc().m_shapeList)});
    const bool wasModified = Doc().IsModified();
    if (how < 2)
        PressKey(Qt::Key_S, Qt::ControlModifier);
    else
        Trigger(saveAs ? ID_FILE_SAVE_AS : ID_FILE_SAVE);
    if (QTest::currentTestFailed()) return;
    if (m_prompts.m_saves.empty() || m_prompts.m_saves.back().mustFail) {
        QCOMPARE(Doc().IsModified(), wasModified);
        return;
    }
    m_expectedPath = m_prompts.m_saves.back().path;
    QVERIFY(!Doc().IsModified());
}

void CSoakRun::SaveAndReopen()
{
    Save();
    if (QTest::currentTestFailed() || m_prompts.m_saves.empty() || m_prompts.m_saves.back().mustFail) return;
    const QString path = m_prompts.m_saves.back().path;
    // The reopened model is the saved one, selection and all.
    OpenThrough(path, [this, path] {
        m_prompts.m_files.enqueue(path);
        Trigger(ID_FILE_OPEN);
    });
    QVERIFY2(!m_prompts.m_questionAsked, "a model just saved asked to be saved again");
}

void CSoakRun::Export()
{
    const bool dxf = m_random.Percent(60);
    const bool wrongExtension = m_random.Percent(10);
    const QString path = TempPath(wrongExtension ? QStringLiteral("export.txt") : dxf ? QStringLiteral("export.dxf") : QStringLiteral("export.pov"));
    const CShapeList before = Doc().m_shapeList;
    const bool wasModified = Doc().IsModified();
    m_prompts.m_files.enqueue(path);
    Trigger(dxf ? ID_EXPORT_DXF : ID_EXPORT_POV);
    if (QTest::currentTestFailed()) return;
    if (wrongExtension) {
        Allow("ファイル拡張子が不正です");
    } else {
        Allow(dxf ? "DXFデータの書き込みが完了しました" : "POVデータの書き込みが完了しました");
        QCOMPARE(m_prompts.m_shown.size(), 1);
        QVERIFY(FileBytes(path));
        if (dxf) m_exportedDxf = path;
    }
    QVERIFY2(Doc().m_shapeList == before, "an export changed the model");
    QCOMPARE(Doc().IsModified(), wasModified);
}

void CSoakRun::Restart()
{
    const bool wasModified = Doc().IsModified();
    AllowSaveQuestion();
    Trigger(ID_APP_EXIT);
    if (QTest::currentTestFailed()) return;
    const bool closed = QuestionLetThrough(wasModified);
    QCOMPARE(m_program->Frame().isVisible(), !closed);
    if (!closed) return;
    // The saves the question allowed are checked now; the next program starts afresh.
    CheckSaves();
    if (QTest::currentTestFailed()) return;
    m_prompts.m_saves.clear();

    QStringList arguments{QStringLiteral("vorla")};
    if (m_random.Percent(60)) {
        QStringList candidates;
        for (const char* name : {"boxes.vrl", "full-table.vrl", "broken.vrl", "missing.vrl"}) candidates << TempPath(QLatin1String(name));
        candidates += m_saved;
        arguments << candidates[m_random.Below(int(candidates.size()))];
    }
    const std::optional<std::string> file = arguments.size() > 1 ? FileBytes(arguments[1]) : std::nullopt;
    const SExpectedOpen expected = ExpectedOpen(file);
    if (Start(arguments)) {
        QVERIFY(arguments.size() == 1 || expected.ok);
        if (expected.versionMatched)
            QVERIFY2(ModelBytes(Doc().m_shapeList) == *file, "the model named on the command line differs from its file");
        else
            QVERIFY(Doc().m_shapeList.empty());
        QVERIFY(!Doc().IsModified());
        return;
    }
    // A file that cannot be opened ends the program with a failure, after saying why; the user
    // starts it again without one.
    QVERIFY(!expected.ok);
    Allow("が開けません");
    QVERIFY(Start({QStringLiteral("vorla")}));
}
