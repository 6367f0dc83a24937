// Files coming into the program as a user sees it: dropped on the window, read from a pipe or
// at length while the window goes on working, stopped with Cancel, and the reasons of failures
// in Japanese.
#include "GuiTestSupport.h"

#include "app/CommandIds.h"
#include "model/ModelFile.h"

#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ModelState(const CMyvorla_ltDoc& doc)
{
    CStringSink sink;
    WriteModelFile(sink, doc.m_shapeList);
    return sink.m_bytes;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// A DXF of `faces` 3DFACEs on three layers, about 150 bytes each.
QByteArray Drawing(int faces)
{
    QByteArray text = "0\nSECTION\n2\nENTITIES\n";
    for (int i = 0; i < faces; ++i) {
        const QByteArray x = QByteArray::number(i % 300 * 200), y = QByteArray::number(i / 300 * 200);
        text += "0\n3DFACE\n8\nL" + QByteArray::number(i % 3) + "\n10\n" + x + "\n20\n" + y + "\n30\n0\n11\n" + x +
                "50\n21\n" + y + "\n31\n0\n12\n" + x + "50\n22\n" + y + "50\n32\n0\n13\n" + x + "\n23\n" + y + "50\n33\n0\n";
    }
    return text + "0\nENDSEC\n0\nEOF\n";
}

// Feeds a named pipe with `bytes` once its reader has come, then keeps it open, as a program
// still writing would, until the end of the test.
class CPipeWriter {
public:
    CPipeWriter(const QString& path, QByteArray bytes)
        : m_thread([this, path = path.toStdString(), bytes = std::move(bytes)] {
              int fd = -1;
              while (fd < 0 && !m_stop) {
                  fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);  // ENXIO until a reader is there
                  if (fd < 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
              }
              qsizetype done = 0;
              while (fd >= 0 && done < bytes.size() && !m_stop) {
                  const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
                  if (put > 0) done += put;
                  else if (errno == EAGAIN) std::this_thread::sleep_for(std::chrono::milliseconds(2));
                  else break;  // the reader has gone
              }
              m_written = done == bytes.size();
              while (!m_stop) std::this_thread::sleep_for(std::chrono::milliseconds(5));
              if (fd >= 0) ::close(fd);
          })
    {
    }
    ~CPipeWriter()
    {
        m_stop = true;
        m_thread.join();
    }
    bool Written() const { return m_written; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_written{false};
    std::thread m_thread;
};

void Drop(CMainFrame& frame, const QStringList& paths, bool* accepted)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint at = frame.View()->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &enter);
    *accepted = enter.isAccepted();
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &drop);
    QTest::qWait(50);  // the dropped file opens once the drop has ended
}

}  // namespace

class CFileFlowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { std::signal(SIGPIPE, SIG_IGN); }
    void aDroppedFileOpensOrIsRefused_data();
    void aDroppedFileOpensOrIsRefused();
    void aCancelledReadLeavesThePreviousModelWhileTheWindowWorks_data();
    void aCancelledReadLeavesThePreviousModelWhileTheWindowWorks();
    void reasonsAreJapanese_data();
    void reasonsAreJapanese();
    void dialogsAndStatusBarOfFiles();
    void aFileThatIsNoModelIsNeverSavedOver_data();
    void aFileThatIsNoModelIsNeverSavedOver();
    void savingAModelReadFromAPipeDoesNotWaitOnIt();
    void cancellingTheFileNamedAtStartUpLeavesTheProgramRunning();

private:
    QTemporaryDir m_dir;
};

void CFileFlowTest::aDroppedFileOpensOrIsRefused_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("title");    // after the drop; empty: the model stays
    QTest::addColumn<QString>("refusal");  // the message of a refused drop
    const QString model = QStringLiteral(VORLA_EXAMPLES "/boxes.vrl");
    const QString drawing = WriteFile(m_dir, QStringLiteral("WALLS.DXF"), FileBytes(QStringLiteral(VORLA_TEST_DATA "/dxf/faces.dxf")));
    const QString text = WriteFile(m_dir, QStringLiteral("notes.txt"), "faces\n");
    QTest::newRow("model file") << QStringList{model} << QString::fromUtf8("boxes.vrl - Vorla_DORAZ") << QString();
    QTest::newRow("DXF file") << QStringList{drawing} << QString::fromUtf8("無題 - Vorla_DORAZ") << QString();
    QTest::newRow("other file") << QStringList{text} << QString() << QString::fromUtf8("は開けません");
    QTest::newRow("two files") << QStringList{model, drawing} << QString() << QString::fromUtf8("1 つです");
}

void CFileFlowTest::aDroppedFileOpensOrIsRefused()
{
    QFETCH(QStringList, files);
    QFETCH(QString, title);
    QFETCH(QString, refusal);
    CScriptedPrompts prompts;
    CStartedProgram program;
    program.Frame().Action(ID_CREATE_SPHERE)->trigger();  // unsaved changes
    const std::string before = ModelState(program.Host().Doc());
    prompts.m_buttons.enqueue(QMessageBox::No);
    bool accepted = false;
    Drop(program.Frame(), files, &accepted);
    QVERIFY(accepted);
    if (refusal.isEmpty()) {
        QCOMPARE(prompts.m_shown.value(0), QString::fromUtf8("Vorla_DORAZ|無題 への変更を保存しますか？"));
        QCOMPARE(prompts.m_shown.size(), 1);
        QCOMPARE(program.Frame().windowTitle(), title);
        QVERIFY(ModelState(program.Host().Doc()) != before);
    } else {
        QCOMPARE(prompts.m_shown.size(), 1);
        QVERIFY2(prompts.m_shown[0].startsWith(QString::fromUtf8("ワーニング|")) && prompts.m_shown[0].contains(refusal),
                 qPrintable(prompts.m_shown[0]));
        QVERIFY(ModelState(program.Host().Doc()) == before);
    }
}

void CFileFlowTest::aCancelledReadLeavesThePreviousModelWhileTheWindowWorks_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("written");  // what the pipe's writer gives before it stalls
    QTest::addColumn<bool>("writer");
    QTest::newRow("big DXF import") << int(ID_IMPORT_DXF) << QStringLiteral("big.dxf") << Drawing(40000) << true;
    const QByteArray model = FileBytes(QStringLiteral(VORLA_EXAMPLES "/boxes.vrl"));
    QTest::newRow("opening") << int(ID_FILE_OPEN) << QStringLiteral("model.vrl") << model.left(model.size() / 2) << true;
    QTest::newRow("insertion") << int(ID_INSERT_MODEL) << QStringLiteral("insert.vrl") << model.left(model.size() / 2) << true;
    QTest::newRow("pipe without a writer") << int(ID_FILE_OPEN) << QStringLiteral("silent.vrl") << QByteArray() << false;
}

void CFileFlowTest::aCancelledReadLeavesThePreviousModelWhileTheWindowWorks()
{
    QFETCH(int, command);
    QFETCH(QString, name);
    QFETCH(QByteArray, written);
    QFETCH(bool, writer);
    CScriptedPrompts prompts;
    CStartedProgram program({QStringLiteral("vorla"), QStringLiteral(VORLA_EXAMPLES "/boxes.vrl")});
    CMainFrame& frame = program.Frame();
    const CMyvorla_ltDoc& doc = program.Host().Doc();
    frame.Action(ID_CREATE_SPHERE)->trigger();
    const std::string before = ModelState(doc);
    const QString undoText = frame.Action(ID_EDIT_UNDO)->text();

    const QString pipe = m_dir.filePath(name);
    QFile::remove(pipe);
    QVERIFY(::mkfifo(pipe.toLocal8Bit().constData(), 0600) == 0);
    std::unique_ptr<CPipeWriter> feeder;
    if (writer) feeder = std::make_unique<CPipeWriter>(pipe, written);

    // While the file is read: the model shown is the old one, the view draws, a menu opens,
    // the commands that would change the model wait; then the user presses Cancel.
    QStringList seen;
    bool cancelled = false;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    connect(&poll, &QTimer::timeout, [&] {
        auto* cancel = frame.statusBar()->findChild<QPushButton*>(QStringLiteral("cancelReading"));
        if (!cancel || !cancel->isVisible() || (feeder && !feeder->Written() && clock.elapsed() < 10000)) return;
        poll.stop();
        if (ModelState(doc) == before) seen << "old model";
        if (!program.Grab().isNull()) seen << "drawn";
        auto* menu = frame.findChild<QMenu*>(QStringLiteral("menuView"));
        menu->popup(frame.mapToGlobal(QPoint(100, 40)));
        if (menu->isVisible()) seen << "menu";
        menu->hide();
        if (!frame.Action(ID_IMPORT_DXF)->isEnabled() && !frame.Action(ID_EDIT_UNDO)->isEnabled() &&
            frame.Action(ID_VIEW_WIREFRAME)->isEnabled())
            seen << "held";
        QTest::mouseClick(cancel, Qt::LeftButton);
        cancelled = true;
    });
    poll.start(20);
    prompts.m_files.enqueue(pipe);
    prompts.m_buttons.enqueue(QMessageBox::No);  // the question about the unsaved sphere
    frame.Action(command)->trigger();
    poll.stop();

    QVERIFY(cancelled);
    QCOMPARE(seen, (QStringList{"old model", "drawn", "menu", "held"}));
    QVERIFY2(ModelState(doc) == before, "a cancelled reading changed the model");
    QVERIFY(doc.IsModified());
    QCOMPARE(frame.windowTitle(), QString::fromUtf8("boxes.vrl - Vorla_DORAZ"));
    QCOMPARE(frame.Action(ID_EDIT_UNDO)->text(), undoText);
    QVERIFY(frame.Action(ID_EDIT_UNDO)->isEnabled() && frame.Action(ID_IMPORT_DXF)->isEnabled());
    QVERIFY(!frame.statusBar()->findChild<QWidget*>(QStringLiteral("readProgress")));
    QVERIFY2(frame.statusBar()->currentMessage().contains(QString::fromUtf8("読み込みを中止しました")),
             qPrintable(frame.statusBar()->currentMessage()));
    // The message is not drawn over the idle text once the bar has laid itself out again.
    QTest::qWait(50);
    QVERIFY(!frame.statusBar()->findChild<QLabel*>(QStringLiteral("readyText"))->isVisible());
    for (const QString& shown : prompts.m_shown)
        QVERIFY2(shown.contains(QString::fromUtf8("への変更を保存しますか")), qPrintable(shown));
}

void CFileFlowTest::reasonsAreJapanese_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    const QByteArray model = FileBytes(QStringLiteral(VORLA_EXAMPLES "/boxes.vrl"));
    QTest::newRow("model ending early") << int(ID_FILE_OPEN) << WriteFile(m_dir, QStringLiteral("cut.vrl"), model.left(200))
                                        << QString::fromUtf8("の途中で終わっています（");
    QTest::newRow("folder") << int(ID_FILE_OPEN) << m_dir.path() << QString::fromUtf8("フォルダです。ファイルではありません");
    QTest::newRow("device") << int(ID_IMPORT_DXF) << QStringLiteral("/dev/zero") << QString::fromUtf8("デバイスです。ファイルではありません");
    QTest::newRow("missing file") << int(ID_INSERT_MODEL) << m_dir.filePath(QStringLiteral("none.vrl"))
                                  << QString::fromUtf8("ファイルまたはフォルダがありません");
    QTest::newRow("save to a missing folder") << int(ID_FILE_SAVE_AS) << m_dir.filePath(QStringLiteral("none/x.vrl"))
                                              << QString::fromUtf8("にファイルを作れません: ファイルまたはフォルダがありません");
}

void CFileFlowTest::reasonsAreJapanese()
{
    QFETCH(int, command);
    QFETCH(QString, path);
    QFETCH(QString, reason);
    CScriptedPrompts prompts;
    CStartedProgram program;
    prompts.m_files.enqueue(path);
    program.Frame().Action(command)->trigger();
    QCOMPARE(prompts.m_shown.size(), 1);
    QVERIFY2(prompts.m_shown[0].startsWith(QString::fromUtf8("ワーニング|") + path) && prompts.m_shown[0].contains(reason),
             qPrintable(prompts.m_shown[0]));
}

void CFileFlowTest::dialogsAndStatusBarOfFiles()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    QStatusBar* status = program.Frame().statusBar();

    // The DXF dialog offers DXF files first, every file second.
    prompts.m_files.enqueue(WriteFile(m_dir, QStringLiteral("binary.dxf"), QByteArray("AutoCAD Binary DXF\r\n\x1a\0", 22) + "rest"));
    program.Frame().Action(ID_IMPORT_DXF)->trigger();
    const QStringList filters = prompts.m_filters.value(0).split(QStringLiteral(";;"));
    QCOMPARE(filters.size(), 2);
    QVERIFY2(filters[0].endsWith(QStringLiteral("(*.dxf)")) && filters[1].endsWith(QStringLiteral("(*)")),
             qPrintable(prompts.m_filters.value(0)));
    // A binary DXF says so first, where the status bar cannot cut it off.
    QVERIFY2(status->currentMessage().startsWith(QString::fromUtf8("DXF: バイナリ DXF は読めません")), qPrintable(status->currentMessage()));

    // The import's summary goes when another model comes.
    prompts.m_files.enqueue(QStringLiteral(VORLA_TEST_DATA "/dxf/faces.dxf"));
    program.Frame().Action(ID_IMPORT_DXF)->trigger();
    QVERIFY(status->currentMessage().contains(QString::fromUtf8("面を読み込みました")));
    prompts.m_buttons.enqueue(QMessageBox::No);
    prompts.m_files.enqueue(QStringLiteral(VORLA_EXAMPLES "/boxes.vrl"));
    program.Frame().Action(ID_FILE_OPEN)->trigger();
    QCOMPARE(status->currentMessage(), QString());

    // A save removes what a save of the same model killed half-way left a day ago.
    const QString saved = m_dir.filePath(QStringLiteral("saved.vrl"));
    const QString stale = WriteFile(m_dir, QStringLiteral(".saved.vrl.Qk3v9A"), "partial");
    const QString fresh = WriteFile(m_dir, QStringLiteral(".saved.vrl.Zm8p2B"), "partial");
    std::filesystem::last_write_time(stale.toStdString(),
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(30));
    prompts.m_files.enqueue(saved);
    program.Frame().Action(ID_FILE_SAVE_AS)->trigger();
    QVERIFY(QFile::exists(saved));
    QVERIFY(!QFile::exists(stale));
    QVERIFY(QFile::exists(fresh));
}

void CFileFlowTest::aFileThatIsNoModelIsNeverSavedOver_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("atStartUp");  // named on the command line, else File > Open
    QTest::addColumn<int>("faces");       // what the window then shows
    QTest::addColumn<QString>("told");    // the message on opening, if any
    const QByteArray drawing = FileBytes(QStringLiteral(VORLA_TEST_DATA "/dxf/faces.dxf"));
    QByteArray older = FileBytes(QStringLiteral(VORLA_EXAMPLES "/boxes.vrl"));
    older[15] = '6';  // "Vorla_III V0.06     " after the length byte
    const QString notModel = QString::fromUtf8("のモデル ファイルではありません");
    QTest::newRow("drawing at start-up") << WriteFile(m_dir, QStringLiteral("plan.dxf"), drawing) << true << 3 << QString();
    QTest::newRow("drawing opened") << WriteFile(m_dir, QStringLiteral("plan2.dxf"), drawing) << false << 0 << notModel;
    QTest::newRow("older model opened") << WriteFile(m_dir, QStringLiteral("old.vrl"), older) << false << 0 << notModel;
}

void CFileFlowTest::aFileThatIsNoModelIsNeverSavedOver()
{
    QFETCH(QString, path);
    QFETCH(bool, atStartUp);
    QFETCH(int, faces);
    QFETCH(QString, told);
    const QByteArray before = FileBytes(path);
    CScriptedPrompts prompts;
    QStringList arguments{QStringLiteral("vorla")};
    if (atStartUp) arguments << path;
    CStartedProgram program(arguments);
    QVERIFY(program.ok);
    if (!atStartUp) {
        prompts.m_files.enqueue(path);
        program.Frame().Action(ID_FILE_OPEN)->trigger();
    }
    QCOMPARE(int(program.Host().Doc().m_shapeList.size()), faces);
    QCOMPARE(prompts.m_shown.size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty()) QVERIFY2(prompts.m_shown[0].contains(told), qPrintable(prompts.m_shown[0]));

    // Save asks for a name, offering a model beside the file; cancelled, nothing is written.
    QVERIFY(program.Host().SaveNeedsName());
    program.Frame().Action(ID_FILE_SAVE)->trigger();
    QCOMPARE(prompts.m_offered.size(), 1);
    if (!atStartUp) QCOMPARE(QFileInfo(prompts.m_offered[0]).suffix(), QStringLiteral("vrl"));
    QCOMPARE(FileBytes(path), before);
    // Named, the model is saved there, and from then on Save writes that file.
    const QString saved = m_dir.filePath(QFileInfo(path).completeBaseName() + QStringLiteral("-saved.vrl"));
    prompts.m_files.enqueue(saved);
    program.Frame().Action(ID_FILE_SAVE)->trigger();
    QCOMPARE(FileBytes(path), before);
    QVERIFY(QFileInfo::exists(saved));
    QVERIFY(!program.Host().SaveNeedsName());
}

void CFileFlowTest::savingAModelReadFromAPipeDoesNotWaitOnIt()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    const QString pipe = m_dir.filePath(QStringLiteral("model.fifo"));
    QFile::remove(pipe);
    QVERIFY(::mkfifo(pipe.toLocal8Bit().constData(), 0600) == 0);
    // A writer that gives the model and goes.
    std::thread writer([path = pipe.toStdString(), bytes = FileBytes(QStringLiteral(VORLA_EXAMPLES "/boxes.vrl"))] {
        const int fd = ::open(path.c_str(), O_WRONLY);
        if (fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size()) ::close(fd);
    });
    prompts.m_files.enqueue(pipe);
    program.Frame().Action(ID_FILE_OPEN)->trigger();
    writer.join();
    QCOMPARE(int(program.Host().Doc().m_shapeList.size()), 32);
    // Deciding whether Save needs a name must not open the pipe again: with no writer left
    // that would wait for ever.
    QVERIFY(!program.Host().SaveNeedsName());
}

void CFileFlowTest::cancellingTheFileNamedAtStartUpLeavesTheProgramRunning()
{
    CScriptedPrompts prompts;
    const QString pipe = m_dir.filePath(QStringLiteral("start.vrl"));
    QFile::remove(pipe);
    QVERIFY(::mkfifo(pipe.toLocal8Bit().constData(), 0600) == 0);
    // A pipe nobody writes: the window shows its reading; the user presses ｷｬﾝｾﾙ.
    QTimer poll;
    bool cancelled = false;
    connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* cancel = window->findChild<QPushButton*>(QStringLiteral("cancelReading")); cancel && cancel->isVisible()) {
                poll.stop();
                QTest::mouseClick(cancel, Qt::LeftButton);
                cancelled = true;
                return;
            }
    });
    poll.start(20);
    CStartedProgram program({QStringLiteral("vorla"), pipe});
    poll.stop();
    QVERIFY(cancelled);
    QVERIFY2(program.ok, "the program ended when its first reading was stopped");
    QVERIFY(program.Frame().isVisible());
    QVERIFY(program.Host().Doc().m_shapeList.empty());
    QCOMPARE(program.Frame().windowTitle(), QString::fromUtf8("無題 - Vorla_DORAZ"));
    QVERIFY(program.Frame().statusBar()->currentMessage().contains(QString::fromUtf8("読み込みを中止しました")));
    QVERIFY(prompts.m_shown.isEmpty());
}

VORLA_GUI_TEST_MAIN(CFileFlowTest)
#include "FileFlowTest.moc"
