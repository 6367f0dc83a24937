// Helpers of the viewer's soak: a replayable random source, prompts that answer at random and
// remember every save they let happen, the model as a save writes it, and the process's memory.
#pragma once

#include "GuiTestSupport.h"

#include "model/LayerTable.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

// The random choices of one soak run; the same seed replays the same run.
class CSoakRandom {
public:
    explicit CSoakRandom(std::uint64_t seed) : m_engine(seed) {}
    // 0 <= result < n. The engine's own arithmetic, so every standard library draws alike.
    int Below(int n) { return int(m_engine() % std::uint64_t(n)); }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    bool Percent(int percent) { return Below(100) < percent; }
    template <class T>
    const T& Pick(const std::vector<T>& from) { return from[std::size_t(Below(int(from.size())))]; }

private:
    std::mt19937_64 m_engine;
};

// The bytes a save of `shapes` writes with the layer table and scene settings as they stand.
std::string ModelBytes(const CShapeList& shapes);
// The bytes of a file, or nothing when it cannot be read.
std::optional<std::string> FileBytes(const QString& path);

// Every slot of the layer table and the scene settings, put back on destruction: checks that
// load a file into a scratch document must not change what the program works with.
class CTablesGuard {
public:
    CTablesGuard();
    ~CTablesGuard();
    CTablesGuard(const CTablesGuard&) = delete;
    CTablesGuard& operator=(const CTablesGuard&) = delete;

private:
    int m_count;
    std::vector<std::string> m_names, m_textures;
    std::vector<double> m_attrs;
    std::string m_sky, m_ground;
    double m_north, m_season, m_latitude, m_hour;
};

// Writes a file whole; false when that fails.
bool WriteBytes(const QString& path, const std::string& bytes);

// Inputs made for the soak: a DXF with one face on each of 120 layers (more than the table
// takes; one name of 300 bytes, one in Shift-JIS), and a model whose table is full (100
// layers) with a face on a layer the table lacks.
std::string ManyLayersDxf();
std::string FullTableModel();

// Loads `bytes` into a fresh document and saves that again; empty when the second save gives
// the same bytes and the load left the tables as they were, otherwise what differs.
std::string ReloadDifference(const std::string& bytes);

// The process's memory: resident anonymous pages (the heap, private mappings; not the mapped
// libraries and fonts, which come and go with the page cache), and the bytes the heap has
// handed out and not had back, which leaves out the allocator's fragmentation.
struct SMemory {
    std::size_t resident = 0;
    std::size_t heap = 0;
};
// Measured after the heap has given its free pages back.
SMemory MeasureMemory();
QString Mebibytes(std::size_t bytes);
QString Mebibytes(long long bytes);

// A save the program was allowed to make: where, the model's bytes when it was asked for,
// and whether the path was chosen so the save must fail.
struct SExpectedSave {
    QString path;
    std::string bytes;
    bool mustFail = false;
};

// Answers every question of the program from the soak's random source: the save question
// (Yes, No or Cancel), the save dialog (a path of `m_savePath`, nothing, or one that cannot be
// written) and the colour chooser. File names to open or export to are queued in m_files by
// the action.
class CSoakPrompts : public CScriptedPrompts {
public:
    explicit CSoakPrompts(CSoakRandom& random) : m_random(random) {}

    void SetHost(CDocumentHost* host) { m_host = host; }
    // Forgets the answers and saves of the previous action.
    void StartAction();

    QString OpenFileName(QWidget*, const QString&, const QString&) override;
    QString SaveFileName(QWidget*, const QString&, const QString&, bool) override;
    QMessageBox::StandardButton Ask(QWidget*, QMessageBox::Icon, const QString& caption, const QString& text,
                                    QMessageBox::StandardButtons) override;
    QColor ChooseColor(QWidget*, const QColor& initial) override;

    // Paths the save dialog answers with: a writable one, and one in a folder that is missing.
    std::function<QString()> m_savePath;
    QString m_unwritablePath;
    // When set, the save question gets this answer instead of a random one.
    std::optional<QMessageBox::StandardButton> m_fixedAnswer;

    // What happened during the current action.
    bool m_questionAsked = false;
    QMessageBox::StandardButton m_answer = QMessageBox::NoButton;
    bool m_saveDialogCancelled = false;
    std::vector<SExpectedSave> m_saves;

private:
    CSoakRandom& m_random;
    CDocumentHost* m_host = nullptr;
};

// Qt warnings and errors printed during the run, for the check after each action.
void StartCollectingQtMessages();
QStringList TakeQtMessages();
