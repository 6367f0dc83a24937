// The soak of the viewer: a replayable run of random user actions on the real program. The run
// is set by VORLA_SOAK_SEED and VORLA_SOAK_ACTIONS (a short run by default, for every test run;
// scripts/soak runs a long one). The resident memory after the warm-up and at the end, both
// with an empty model, may differ by at most the limits below.
#include "SoakRun.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::uint64_t kDefaultSeed = 20250611;
constexpr int kDefaultActions = 300;

// What a sound program may still gain after the warm-up, both times with an empty model: the
// heap, Qt's and Mesa's caches filling as new dialogs, glyphs and drawing states turn up; the
// resident pages, besides, the allocator's fragmentation. A leak of a face per action, or of
// the drawing buffers at each change of the model, exceeds them within a few thousand actions.
constexpr std::size_t kHeapGrowthLimit = 8u << 20;
constexpr std::size_t kResidentGrowthLimit = 32u << 20;

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback)
{
    const QByteArray text = qgetenv(name);
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    return ok ? value : fallback;
}

}  // namespace

class CSoakTest : public QObject {
    Q_OBJECT
private slots:
    void randomUserActions();
};

void CSoakTest::randomUserActions()
{
    const std::uint64_t seed = EnvNumber("VORLA_SOAK_SEED", kDefaultSeed);
    const int actions = int(EnvNumber("VORLA_SOAK_ACTIONS", kDefaultActions));
    std::printf("soak: seed %llu, %d actions\n", static_cast<unsigned long long>(seed), actions);
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    CSoakRun run(seed, actions);
    run.Run();
    if (QTest::currentTestFailed()) return;
    const double seconds = clock.elapsed() / 1000.0;
    const long long heapGrowth = static_cast<long long>(run.m_atEnd.heap) - static_cast<long long>(run.m_afterWarmUp.heap);
    const long long residentGrowth =
        static_cast<long long>(run.m_atEnd.resident) - static_cast<long long>(run.m_afterWarmUp.resident);
    std::printf("soak: %d actions in %s s, at most %zu faces\n", actions, qPrintable(QString::number(seconds, 'f', 1)),
                run.m_mostFaces);
    std::printf("soak: heap in use %s MiB after the warm-up, %s MiB at the end (%s MiB)\n",
                qPrintable(Mebibytes(run.m_afterWarmUp.heap)), qPrintable(Mebibytes(run.m_atEnd.heap)),
                qPrintable(Mebibytes(heapGrowth)));
    std::printf("soak: resident %s MiB after the warm-up, %s MiB at the end (%s MiB)\n",
                qPrintable(Mebibytes(run.m_afterWarmUp.resident)), qPrintable(Mebibytes(run.m_atEnd.resident)),
                qPrintable(Mebibytes(residentGrowth)));
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine and maps shadow memory: the figures say
    // nothing about leaks there. Its own checks stand in for these.
    std::printf("soak: memory bounds not checked under AddressSanitizer\n");
#else
    QVERIFY2(heapGrowth <= static_cast<long long>(kHeapGrowthLimit),
             qPrintable(QStringLiteral("the heap grew by %1 MiB").arg(Mebibytes(heapGrowth))));
    QVERIFY2(residentGrowth <= static_cast<long long>(kResidentGrowthLimit),
             qPrintable(QStringLiteral("resident memory grew by %1 MiB").arg(Mebibytes(residentGrowth))));
#endif
}

int main(int argc, char** argv)
{
    InitGuiTestEnvironment();
    // A long run takes longer than Qt Test's watchdog allows one test function by default.
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT")) qputenv("QTEST_FUNCTION_TIMEOUT", "86400000");
    QApplication app(argc, argv);
    CSoakTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SoakTest.moc"
