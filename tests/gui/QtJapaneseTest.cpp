// Qt's own dialogs speak Japanese whatever the locale (these tests run in a German one): the
// save question's buttons, the file dialog, the colour chooser and the print preview.
#include "DialogTestSupport.h"
#include "GuiTestSupport.h"

#include "app/CommandIds.h"

#include <QAbstractButton>

namespace {

// The texts of the buttons of the next modal dialog, and its title, read once it shows; it is
// then closed. Called from inside the dialog's own event loop.
QStringList ButtonTextsOfNextModal(QString* title)
{
    QStringList texts;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            *title = modal->windowTitle();
            for (QAbstractButton* button : modal->findChildren<QAbstractButton*>())
                if (button->isVisible() && !button->text().isEmpty()) texts << button->text();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            break;
        }
        QTest::qWait(10);
    }
    return texts;
}

}  // namespace

class CQtJapaneseTest : public QObject {
    Q_OBJECT
private slots:
    void standardDialogsAreJapanese_data();
    void standardDialogsAreJapanese();
};

void CQtJapaneseTest::standardDialogsAreJapanese_data()
{
    QTest::addColumn<int>("dialog");
    QTest::addColumn<QString>("title");  // empty: ours, not Qt's
    QTest::addColumn<QStringList>("buttons");
    QTest::newRow("save question") << 0 << QString() << QStringList{"はい(&Y)", "いいえ(&N)", "キャンセル"};
    QTest::newRow("file dialog") << 1 << QString() << QStringList{"開く(&O)", "キャンセル"};
    QTest::newRow("colour chooser") << 2 << QString::fromUtf8("色を選択")
                                    << QStringList{"OK", "キャンセル", "カスタムカラーに追加(&A)"};
    QTest::newRow("print preview") << 3 << QString::fromUtf8("印刷のプレビュー") << QStringList{};
}

void CQtJapaneseTest::standardDialogsAreJapanese()
{
    QFETCH(int, dialog);
    QFETCH(QString, title);
    QFETCH(QStringList, buttons);
    CStartedProgram program;
    CMainFrame& frame = program.Frame();
    QString shownTitle;
    QStringList shown;
    // Each dialog is opened the way a user opens it, and read and closed from inside its loop.
    QTimer::singleShot(0, [&] { shown = ButtonTextsOfNextModal(&shownTitle); });
    switch (dialog) {
    case 0:
        program.Host().Doc().AddShape();  // a change, so a new model asks first
        frame.Action(ID_FILE_NEW)->trigger();
        program.Host().Doc().SetModifiedFlag(false);
        break;
    case 1: frame.Action(ID_FILE_OPEN)->trigger(); break;
    case 2: CUserPrompts::Get().ChooseColor(&frame, Qt::red); break;
    default: frame.Action(ID_FILE_PRINT_PREVIEW)->trigger(); break;
    }
    if (!title.isEmpty()) QCOMPARE(shownTitle, title);
    for (const QString& button : buttons) QVERIFY2(shown.contains(button), qPrintable(shown.join(QStringLiteral(", "))));
}

VORLA_GUI_TEST_MAIN(CQtJapaneseTest)
#include "QtJapaneseTest.moc"
