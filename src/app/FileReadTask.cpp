// The reading thread, the event loop the command waits in meanwhile, and the progress shown
// in the status bar.
#include "app/FileReadTask.h"

#include "app/DocumentHost.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

#include <exception>
#include <memory>

namespace {

// The status bar's part while a file is read: what, how far, and a button to stop it.
class CReadProgress : public QWidget {
public:
    CReadProgress(const QString& path, std::uint64_t size, CReadWatch& watch, QWidget* parent)
        : QWidget(parent), m_size(size), m_watch(watch)
    {
        setObjectName(QStringLiteral("readProgress"));
        m_label = new QLabel(this);
        m_name = QFileInfo(path).fileName();
        m_bar = new QProgressBar(this);
        m_bar->setObjectName(QStringLiteral("readProgressBar"));
        m_bar->setFixedWidth(160);
        m_bar->setTextVisible(false);
        // An input of unknown size (a pipe) shows a bar that only says it is busy.
        m_bar->setRange(0, size ? 1000 : 0);
        m_cancel = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
        m_cancel->setObjectName(QStringLiteral("cancelReading"));
        connect(m_cancel, &QPushButton::clicked, this, [this] {
            m_watch.cancelled = true;
            m_cancel->setEnabled(false);
            m_label->setText(QString::fromUtf8("読み込みを中止しています…"));
        });
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_label);
        layout->addWidget(m_bar);
        layout->addWidget(m_cancel);
        Update();
    }

    void Update()
    {
        if (m_watch.cancelled) return;
        const std::uint64_t bytes = m_watch.bytesRead.load();
        if (m_size) {
            m_bar->setValue(int(std::min<std::uint64_t>(999, bytes * 1000 / m_size)));
            m_label->setText(QString::fromUtf8("%1 を読み込んでいます…").arg(m_name));
        } else {
            m_label->setText(QString::fromUtf8("%1 を読み込んでいます… %2 MB")
                                 .arg(m_name)
                                 .arg(double(bytes) / 1e6, 0, 'f', 1));
        }
    }

private:
    std::uint64_t m_size;
    CReadWatch& m_watch;
    QString m_name;
    QLabel* m_label;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
};

}  // namespace

bool CFileReadTask::Run(CDocumentHost& host, const QString& path, CInputFile& file,
                        const std::function<void(CByteSource&)>& read)
{
    CReadWatch watch;
    CFdSource source(file.Fd(), &watch);
    if (file.IsRegular() && file.Size() < kInBackgroundFrom) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        read(source);
        QGuiApplication::restoreOverrideCursor();
        return true;
    }

    std::exception_ptr failure;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            read(source);
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);

    auto* window = qobject_cast<QMainWindow*>(host.Window());
    CReadProgress* progress = nullptr;
    if (window) {
        progress = new CReadProgress(path, file.Size(), watch, window->statusBar());
        window->statusBar()->addPermanentWidget(progress);
        progress->show();
    }
    QTimer update;
    QObject::connect(&update, &QTimer::timeout, [progress] {
        if (progress) progress->Update();
    });
    update.start(100);

    host.SetReading(true, [&watch] { watch.cancelled = true; });
    thread->start();
    // The window goes on: it repaints, its menus open, the view navigates. The loop ends when
    // the thread has, or when the program quits.
    loop.exec();
    if (thread->isRunning()) {
        watch.cancelled = true;
        thread->wait();
    }
    update.stop();
    delete progress;
    host.SetReading(false);
    if (failure) std::rethrow_exception(failure);
    if (watch.cancelled && window)
        window->statusBar()->showMessage(QString::fromUtf8("%1 の読み込みを中止しました").arg(QFileInfo(path).fileName()));
    return !watch.cancelled;
}
