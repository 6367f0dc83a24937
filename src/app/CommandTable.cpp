// Texts, shortcuts and prompts of every command. A prompt is "status-bar text\ntool tip".
#include "app/CommandTable.h"

#include "app/CommandIds.h"

#include <QKeySequence>

namespace {

struct CCommandEntry {
    int id;
    const char* name;
    const char* text;  // menu text with its mnemonic; empty for commands without a menu item
    QList<QKeySequence> shortcuts;
    const char* prompt;
};

QList<CCommandEntry> Entries()
{
    using K = QKeySequence;
    return {
        {ID_FILE_NEW, "ID_FILE_NEW", "新規作成(&N)", {K("Ctrl+N")}, "新しいモデルを作成します\n新規作成"},
        {ID_FILE_OPEN, "ID_FILE_OPEN", "開く(&O)...", {K("Ctrl+O")}, "モデル ファイルを開きます\n開く"},
        {ID_FILE_SAVE, "ID_FILE_SAVE", "上書き保存(&S)", {K("Ctrl+S")}, "モデルを上書きして保存します\n上書き保存"},
        {ID_FILE_SAVE_AS, "ID_FILE_SAVE_AS", "名前を付けて保存(&A)...", {}, "モデルに名前を付けて保存します\n名前を付けて保存"},
        {ID_IMPORT_DXF, "ID_IMPORT_DXF", "DXFファイル(D)...", {}, "DXF ファイルの面を読み込みます\nDXF 読み込み"},
        {ID_IMPORT_DXF_FULL, "ID_IMPORT_DXF_FULL", "DXF（全要素）(&A)...", {},
         "DXF ファイルのすべての面（メッシュ、ブロック参照、厚さ付きの線と円）を単位に合わせて読み込みます\nDXF（全要素）読み込み"},
        {ID_EXPORT_DXF, "ID_EXPORT_DXF", "DXFファイル(D)...", {}, "モデルを DXF ファイルに書き出します\nDXF 書き出し"},
        {ID_EXPORT_POV, "ID_EXPORT_POV", "POVファイル(P)...", {}, "モデルを POV-Ray のシーンに書き出します\nPOV 書き出し"},
        {ID_INSERT_MODEL, "ID_INSERT_MODEL", "挿入(&I)...", {}, "オブジェクトを挿入\n挿入"},
        {ID_FILE_PRINT, "ID_FILE_PRINT", "印刷(&P)...", {K("Ctrl+P")}, "ビューを印刷します\n印刷"},
        {ID_FILE_PRINT_PREVIEW, "ID_FILE_PRINT_PREVIEW", "印刷ﾌﾟﾚﾋﾞｭｰ(&V)", {}, "印刷イメージを表示します\n印刷プレビュー"},
        {ID_FILE_PRINT_SETUP, "ID_FILE_PRINT_SETUP", "ﾌﾟﾘﾝﾀの設定(&R)...", {}, "プリンタと用紙を設定します\nプリンタの設定"},
        {ID_FILE_MRU_FILE1, "ID_FILE_MRU_FILE1", "最近使ったﾌｧｲﾙ", {}, "このファイルを開きます\n最近使ったファイル"},
        {ID_APP_EXIT, "ID_APP_EXIT", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", {}, "アプリケーションを終了します\n終了"},
        {ID_EDIT_UNDO, "ID_EDIT_UNDO", "元に戻す(&U)", {K("Ctrl+Z"), K("Alt+Backspace")}, "直前の操作を元に戻します\n元に戻す"},
        {ID_EDIT_REDO, "ID_EDIT_REDO", "やり直し(&R)", {K("Ctrl+Y")}, "元に戻した操作をやり直します\nやり直し"},
        {ID_EDIT_CUT, "ID_EDIT_CUT", "切り取り(&T)", {K("Ctrl+X"), K("Delete")}, "選択した面を削除します\n切り取り"},
        {ID_EDIT_COPY, "ID_EDIT_COPY", "ｺﾋﾟｰ(&C)", {K("Ctrl+C"), K("Ctrl+Insert")}, "選択した面をコピーします\nコピー"},
        {ID_EDIT_PASTE, "ID_EDIT_PASTE", "貼り付け(&P)", {K("Ctrl+V"), K("Shift+Insert")}, "貼り付けます\n貼り付け"},
        {ID_EDIT_SELECT_ALL, "ID_EDIT_SELECT_ALL", "すべてを選択(&S)", {K("Ctrl+A")}, "表示されている面をすべて選択します\nすべてを選択"},
        {ID_VIEW_LAYERS, "ID_VIEW_LAYERS", "画層(&G)...", {}, "画層の表示と色，材質を設定します\n画層"},
        {ID_VIEW_FIT, "ID_VIEW_FIT", "全体表示(&F)", {K("Home")}, "モデル全体が見えるように視点を移します\n全体表示"},
        {ID_VIEW_WIREFRAME, "ID_VIEW_WIREFRAME", "ワイヤーフレーム(&W)", {}, "ワイヤーフレームで表示します\nワイヤーフレーム"},
        {ID_VIEW_PARALLEL, "ID_VIEW_PARALLEL", "平行透視（&P）", {}, "平行投影で表示します\n平行透視"},
        {ID_VIEW_WALKTHROUGH, "ID_VIEW_WALKTHROUGH", "ウォークスルー（&W）", {}, "ウォークスルーで表示します\nウォークスルー"},
        {ID_VIEW_TOOLBAR, "ID_VIEW_TOOLBAR", "ﾂｰﾙ ﾊﾞｰ(&T)", {}, "ツール バーの表示を切り替えます\nツール バー"},
        {ID_VIEW_STATUS_BAR, "ID_VIEW_STATUS_BAR", "ｽﾃｰﾀｽ ﾊﾞｰ(&S)", {}, "ステータス バーの表示を切り替えます\nステータス バー"},
        {ID_CREATE_SPHERE, "ID_CREATE_SPHERE", "球(&S)", {}, "球を作成します\n球"},
        {ID_RENDER_SETTINGS, "ID_RENDER_SETTINGS", "設定(&S)...", {}, "レンダリングの空，地面，太陽の位置を設定します\nレンダリング設定"},
        {ID_RENDER, "ID_RENDER", "レンダリング(&R)", {}, "POV-Ray でレンダリングします\nレンダリング"},
        {ID_SUN_STUDY, "ID_SUN_STUDY", "日影図...", {}, "時刻ごとの日影をレンダリングし一覧の画像にします\n日影図"},
        {ID_APP_ABOUT, "ID_APP_ABOUT", "Vorla_DORAZ のﾊﾞｰｼﾞｮﾝ情報(&A)...", {}, "バージョン情報を表示します\nバージョン情報"},
        {ID_TOOL_MOVE, "ID_TOOL_MOVE", "", {}, "移動\n移動"},
        {ID_TOOL_ROTATE, "ID_TOOL_ROTATE", "", {}, "回転\n回転"},
        {ID_TOOL_ZOOM, "ID_TOOL_ZOOM", "", {}, "ズーム\nズーム"},
        {ID_EDIT_ESCAPE, "ID_EDIT_ESCAPE", "", {K("Escape")}, "選択を解除します\n選択解除"},
        {ID_NEXT_PANE, "ID_NEXT_PANE", "", {K("F6")}, "次のウィンドウ ペインに切り替えます\n次のペイン"},
        {ID_PREV_PANE, "ID_PREV_PANE", "", {K("Shift+F6")}, "前のウィンドウ ペインに切り替えます\n前のペイン"},
    };
}

}  // namespace

CCommandTable::CCommandTable(QObject* parent) : QObject(parent)
{
    for (const CCommandEntry& entry : Entries()) {
        auto* action = new QAction(QString::fromUtf8(entry.text), this);
        action->setObjectName(entry.name);
        action->setData(entry.id);
        action->setShortcuts(entry.shortcuts);
        action->setShortcutContext(Qt::WindowShortcut);
        const QStringList prompt = QString::fromUtf8(entry.prompt).split('\n');
        action->setStatusTip(prompt.value(0));
        action->setToolTip(prompt.value(1, prompt.value(0)));
        // Commands without a handler stay disabled until one is connected.
        action->setEnabled(false);
        m_actions.insert(entry.id, action);
    }
}

void CCommandTable::Adopt(int id, QAction* action)
{
    QAction* old = m_actions.value(id);
    if (!old || !action) return;
    action->setObjectName(old->objectName());
    action->setData(id);
    action->setShortcuts(old->shortcuts());
    action->setShortcutContext(old->shortcutContext());
    action->setStatusTip(old->statusTip());
    action->setToolTip(old->toolTip());
    m_actions.insert(id, action);
    delete old;
}

int CCommandTable::IdOf(const QAction* action)
{
    return action ? action->data().toInt() : 0;
}
