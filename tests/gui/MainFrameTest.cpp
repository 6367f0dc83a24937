// The main window as a user meets it: menus, shortcuts, tool bar, check marks, title, the
// save question and the messages of a failed open.
#include "GuiTestSupport.h"

#include "app/CommandIds.h"
#include "model/FileAccess.h"
#include "model/LayerTable.h"
#include "model/ModelFile.h"
#include "view/CameraState.h"

#include <cstring>
#include <memory>

#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

namespace {

// The menu item with this text in the menu bar or a submenu, or null.
QAction* FindItem(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text) return action;
        if (action->menu())
            if (QAction* inner = FindItem(action->menu(), text)) return inner;
    }
    return nullptr;
}

QMenu* TopMenu(CMainFrame& frame, const QString& title)
{
    for (QAction* action : frame.menuBar()->actions())
        if (action->text() == title) return action->menu();
    return nullptr;
}

void SaveModel(const QString& path)
{
    std::string error;
    CShapeList shapes(1);
    QVERIFY(WriteFileAtomically(path.toStdString(), [&](CByteSink& s) { return WriteModelFile(s, shapes); }, error));
}

}  // namespace

class CMainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void menuItems_data();
    void menuItems();
    void toolBarOrder();
    void idleStatusText();
    void displayTogglesAndCheckMarks();
    void toolBarCheckMarkFollowsItsContextMenu();
    void titleFollowsTheDocument();
    void saveQuestionBeforeReplacingAModifiedModel();
    void failedOpenNamesFileAndReason();
    void startUpWithAnUnreadableFileFails();
    void aboutBoxTexts();
};

void CMainFrameTest::menuItems_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("shortcut");
    const auto row = [](const char* menu, const char* text, int id, const char* shortcut = "") {
        QTest::newRow(text) << QString::fromUtf8(menu) << QString::fromUtf8(text) << id << QString::fromUtf8(shortcut);
    };
    row("ﾌｧｲﾙ(&F)", "新規作成(&N)", ID_FILE_NEW, "Ctrl+N");
    row("ﾌｧｲﾙ(&F)", "開く(&O)...", ID_FILE_OPEN, "Ctrl+O");
    row("ﾌｧｲﾙ(&F)", "上書き保存(&S)", ID_FILE_SAVE, "Ctrl+S");
    row("ﾌｧｲﾙ(&F)", "名前を付けて保存(&A)...", ID_FILE_SAVE_AS);
    row("ﾌｧｲﾙ(&F)", "挿入(&I)...", ID_INSERT_MODEL);
    row("ﾌｧｲﾙ(&F)", "印刷(&P)...", ID_FILE_PRINT, "Ctrl+P");
    row("ﾌｧｲﾙ(&F)", "印刷ﾌﾟﾚﾋﾞｭｰ(&V)", ID_FILE_PRINT_PREVIEW);
    row("ﾌｧｲﾙ(&F)", "ﾌﾟﾘﾝﾀの設定(&R)...", ID_FILE_PRINT_SETUP);
    row("ﾌｧｲﾙ(&F)", "最近使ったﾌｧｲﾙ", ID_FILE_MRU_FILE1);
    row("ﾌｧｲﾙ(&F)", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", ID_APP_EXIT);
    row("ﾌｧｲﾙ(&F)", "POVファイル(P)...", ID_EXPORT_POV);
    row("編集(&E)", "元に戻す(&U)", ID_EDIT_UNDO, "Ctrl+Z");
    row("編集(&E)", "切り取り(&T)", ID_EDIT_CUT, "Ctrl+X");
    row("編集(&E)", "ｺﾋﾟｰ(&C)", ID_EDIT_COPY, "Ctrl+C");
    row("編集(&E)", "貼り付け(&P)", ID_EDIT_PASTE, "Ctrl+V");
    row("編集(&E)", "すべてを選択(&S)", ID_EDIT_SELECT_ALL, "Ctrl+A");
    row("表示(&V)", "画層(&G)...", ID_VIEW_LAYERS);
    row("表示(&V)", "全体表示(&F)", ID_VIEW_FIT, "Home");
    row("表示(&V)", "ワイヤーフレーム(&W)", ID_VIEW_WIREFRAME);
    row("表示(&V)", "平行透視（&P）", ID_VIEW_PARALLEL);
    row("表示(&V)", "ウォークスルー（&W）", ID_VIEW_WALKTHROUGH);
    row("表示(&V)", "ﾂｰﾙ ﾊﾞｰ(&T)", ID_VIEW_TOOLBAR);
    row("表示(&V)", "ｽﾃｰﾀｽ ﾊﾞｰ(&S)", ID_VIEW_STATUS_BAR);
    row("作成(&D)", "球(&S)", ID_CREATE_SPHERE);
    row("レンダリング", "設定(&S)...", ID_RENDER_SETTINGS);
    row("レンダリング", "レンダリング(&R)", ID_RENDER);
    row("レンダリング", "日影図...", ID_SUN_STUDY);
    row("ﾍﾙﾌﾟ(&H)", "Vorla_DORAZ のﾊﾞｰｼﾞｮﾝ情報(&A)...", ID_APP_ABOUT);
}

void CMainFrameTest::menuItems()
{
    QFETCH(QString, menu);
    QFETCH(QString, text);
    QFETCH(int, id);
    QFETCH(QString, shortcut);
    CStartedProgram program;
    QVERIFY(program.ok);
    QMenu* top = TopMenu(program.Frame(), menu);
    QVERIFY2(top, qPrintable(menu));
    QAction* item = FindItem(top, text);
    QVERIFY2(item, qPrintable(text));
    QCOMPARE(item->data().toInt(), id);
    QCOMPARE(item->shortcut().toString(), shortcut);
}

void CMainFrameTest::toolBarOrder()
{
    CStartedProgram program;
    auto* bar = program.Frame().findChild<QToolBar*>(QStringLiteral("toolBar"));
    QVERIFY(bar);
    QList<int> ids;
    for (QAction* action : bar->actions()) ids << (action->isSeparator() ? 0 : action->data().toInt());
    const QList<int> expected = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE,  0, ID_EDIT_CUT,    ID_EDIT_COPY, ID_EDIT_PASTE,
                                 0,           ID_FILE_PRINT, 0,            ID_TOOL_MOVE, ID_TOOL_ROTATE, ID_TOOL_ZOOM,
                                 ID_VIEW_FIT, 0,             ID_APP_ABOUT};
    QCOMPARE(ids, expected);
    QCOMPARE(program.Frame().Action(ID_TOOL_MOVE)->toolTip(), QString::fromUtf8("移動"));
    QCOMPARE(program.Frame().Action(ID_TOOL_ZOOM)->statusTip(), QString::fromUtf8("ズーム"));
    QCOMPARE(program.Frame().Action(ID_INSERT_MODEL)->statusTip(), QString::fromUtf8("オブジェクトを挿入"));
    QCOMPARE(program.Frame().Action(ID_INSERT_MODEL)->toolTip(), QString::fromUtf8("挿入"));
    for (QAction* action : bar->actions())
        if (!action->isSeparator()) QVERIFY2(!action->icon().pixmap(QSize(16, 15)).isNull(), qPrintable(action->objectName()));
    // Commands without a handler are shown but cannot be used.
    QVERIFY(!program.Frame().Action(ID_EDIT_COPY)->isEnabled());
    QVERIFY(!program.Frame().Action(ID_EDIT_UNDO)->isEnabled());
}

void CMainFrameTest::idleStatusText()
{
    CStartedProgram program;
    auto* ready = program.Frame().statusBar()->findChild<QLabel*>(QStringLiteral("readyText"));
    QVERIFY(ready);
    QCOMPARE(ready->text(), QString::fromUtf8("ﾚﾃﾞｨ"));
    QStringList indicators;
    for (QLabel* label : program.Frame().statusBar()->findChildren<QLabel*>())
        if (label != ready && !label->isHidden()) indicators << label->text();
    QCOMPARE(indicators, (QStringList{"ｶﾅ", "CAP", "NUM", "SCRL"}));
}

void CMainFrameTest::displayTogglesAndCheckMarks()
{
    CStartedProgram program;
    CMainFrame& frame = program.Frame();
    QMenu* view = TopMenu(frame, QString::fromUtf8("表示(&V)"));
    emit view->aboutToShow();
    QVERIFY(!frame.Action(ID_VIEW_WIREFRAME)->isChecked());
    QVERIFY(!frame.Action(ID_VIEW_PARALLEL)->isChecked());
    QVERIFY(!frame.Action(ID_VIEW_WALKTHROUGH)->isChecked());

    frame.Action(ID_VIEW_WIREFRAME)->trigger();
    frame.Action(ID_VIEW_PARALLEL)->trigger();
    frame.Action(ID_VIEW_WALKTHROUGH)->trigger();
    emit view->aboutToShow();
    QCOMPARE(g_shaded, 0);
    QCOMPARE(g_perspective, 0);
    QCOMPARE(g_walkThrough, 1);
    QVERIFY(frame.Action(ID_VIEW_WIREFRAME)->isChecked());
    QVERIFY(frame.Action(ID_VIEW_PARALLEL)->isChecked());
    QVERIFY(frame.Action(ID_VIEW_WALKTHROUGH)->isChecked());

    frame.Action(ID_VIEW_WALKTHROUGH)->trigger();
    emit view->aboutToShow();
    QCOMPARE(g_walkThrough, 0);
    QVERIFY(!frame.Action(ID_VIEW_WALKTHROUGH)->isChecked());
    QCOMPARE(g_camOffset[2], -100000.0f);
}

// Hiding the tool bar from its own context menu left 表示 > ﾂｰﾙ ﾊﾞｰ checked, so the next click
// on it hid an already hidden bar and showed nothing.
void CMainFrameTest::toolBarCheckMarkFollowsItsContextMenu()
{
    CStartedProgram program;
    CMainFrame& frame = program.Frame();
    auto* bar = frame.findChild<QToolBar*>(QStringLiteral("toolBar"));
    QMenu* view = TopMenu(frame, QString::fromUtf8("表示(&V)"));
    std::unique_ptr<QMenu> context(frame.createPopupMenu());
    QAction* barItem = FindItem(context.get(), QString::fromUtf8("ﾂｰﾙ ﾊﾞｰ"));
    QVERIFY2(barItem, "the context menu names the bar in Japanese");

    barItem->trigger();
    QVERIFY(bar->isHidden());
    emit view->aboutToShow();
    QVERIFY(!frame.Action(ID_VIEW_TOOLBAR)->isChecked());
    frame.Action(ID_VIEW_TOOLBAR)->trigger();
    QVERIFY(!bar->isHidden());
    QVERIFY(frame.Action(ID_VIEW_TOOLBAR)->isChecked());
}

void CMainFrameTest::titleFollowsTheDocument()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("house.vrl"));
    SaveModel(path);
    CStartedProgram untitled;
    QCOMPARE(untitled.Frame().windowTitle(), QString::fromUtf8("無題 - Vorla_DORAZ"));
    CStartedProgram named({QStringLiteral("vorla"), path});
    QVERIFY(named.ok);
    QCOMPARE(named.Frame().windowTitle(), QString::fromUtf8("house.vrl - Vorla_DORAZ"));
    QCOMPARE(named.Host().Doc().m_shapeList.size(), size_t(1));
}

void CMainFrameTest::saveQuestionBeforeReplacingAModifiedModel()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    program.Host().Doc().AddShape();

    prompts.m_buttons.enqueue(QMessageBox::Cancel);
    program.Frame().Action(ID_FILE_NEW)->trigger();
    QCOMPARE(prompts.m_shown.value(0), QString::fromUtf8("Vorla_DORAZ|無題 への変更を保存しますか？"));
    QCOMPARE(program.Host().Doc().m_shapeList.size(), size_t(1));

    // Yes saves first, under the name the user picks.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.vrl"));
    prompts.m_buttons.enqueue(QMessageBox::Yes);
    prompts.m_files.enqueue(path);
    program.Frame().Action(ID_FILE_NEW)->trigger();
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(program.Host().Doc().m_shapeList.empty());
    QCOMPARE(program.Frame().windowTitle(), QString::fromUtf8("無題 - Vorla_DORAZ"));

    // Closing the window asks too; Cancel keeps it open.
    program.Host().Doc().AddShape();
    prompts.m_buttons.enqueue(QMessageBox::Cancel);
    QVERIFY(!program.Frame().close());
    prompts.m_buttons.enqueue(QMessageBox::No);
    QVERIFY(program.Frame().close());
}

void CMainFrameTest::failedOpenNamesFileAndReason()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.vrl"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\x14Vorla_III V0.07     \x08S_Cl");
    file.close();
    prompts.m_files.enqueue(path);
    program.Frame().Action(ID_FILE_OPEN)->trigger();
    QCOMPARE(prompts.m_shown.size(), 1);
    QVERIFY(prompts.m_shown[0].startsWith(QString::fromUtf8("ワーニング|") + path + QString::fromUtf8(" が開けません")));
    QVERIFY2(prompts.m_shown[0].contains(QString::fromUtf8("ファイルが空のテキストの途中で終わっています")), qPrintable(prompts.m_shown[0]));
    QCOMPARE(program.Frame().windowTitle(), QString::fromUtf8("無題 - Vorla_DORAZ"));
}

void CMainFrameTest::startUpWithAnUnreadableFileFails()
{
    CScriptedPrompts prompts;
    CStartedProgram program({QStringLiteral("vorla"), QStringLiteral("/nonexistent/model.vrl")});
    QVERIFY(!program.ok);
    QCOMPARE(prompts.m_shown.size(), 1);
    QVERIFY(prompts.m_shown[0].contains(QStringLiteral("/nonexistent/model.vrl")));
    QVERIFY2(prompts.m_shown[0].contains(QString::fromUtf8("ファイルまたはフォルダがありません")), qPrintable(prompts.m_shown[0]));
}

void CMainFrameTest::aboutBoxTexts()
{
    CStartedProgram program;
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QString::fromUtf8("Vorla_DORAZのﾊﾞｰｼﾞｮﾝ情報"));
        auto* text = box->findChild<QLabel*>(QStringLiteral("versionText"));
        QVERIFY(text);
        QCOMPARE(text->text(), QStringLiteral("Vorla_DORAZ Version 0.07"));
        static_cast<QDialog*>(box)->accept();
    });
    program.Frame().Action(ID_APP_ABOUT)->trigger();
}

VORLA_GUI_TEST_MAIN(CMainFrameTest)
#include "MainFrameTest.moc"
