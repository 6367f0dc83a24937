// The DXF import with its worker thread must give exactly what the caller's thread alone gives:
// the same faces bit for bit, layers, statistics and progress reports, whatever the input, and
// it must end cleanly when the source or the caller fails.
#include "import/DxfReader.h"

#include "model/LayerTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#ifndef VORLA_TEST_DATA
#error "VORLA_TEST_DATA must point at tests/data"
#endif
#include "TestSupport.h"
#include "../model/ShapeBytes.h"

namespace {

// Everything an import leaves behind, as bytes, so that NaNs and signed zeros count too.
std::string Outcome(const CMyvorla_ltDoc& doc, const CDxfImportStats& stats, const std::vector<std::uint64_t>& progress)
{
    std::string out;
    AppendBytes(out, doc.m_shapeList.size());
    for (const CShape& s : doc.m_shapeList) out += ShapeBytes(s);
    out += ShapeBytes(doc.m_curShape);
    AppendBytes(out, doc.IsModified());
    AppendBytes(out, g_layerCount);
    for (int i = 0; i < g_layerCount; ++i) {
        AppendText(out, g_layerName[i]);
        AppendBytes(out, g_layerAttr[i]);
    }
    for (std::uint64_t n : {stats.facesImported, stats.facesDroppedFirstEdge, stats.linesWithoutThickness,
                            stats.solidsDropped, stats.facesOutOfRange, stats.facesOffTable, stats.longLines, stats.wideCodeLines,
                            stats.bytesRead})
        AppendBytes(out, n);
    for (const auto& [name, count] : stats.skippedByKind) {
        AppendText(out, name);
        AppendBytes(out, count);
    }
    AppendBytes(out, stats.entitiesFound);
    AppendBytes(out, stats.binaryDxf);
    AppendText(out, stats.readError);
    AppendBytes(out, progress.size());
    for (std::uint64_t n : progress) AppendBytes(out, n);
    return out;
}

// Memory that can fail with a read error after a given number of bytes, and that notes the
// thread of every read.
class CRecordingSource : public CByteSource {
public:
    explicit CRecordingSource(const std::string& bytes, std::size_t failAt = std::string::npos)
        : m_bytes(bytes), m_failAt(failAt)
    {
    }
    std::size_t Read(void* dst, std::size_t n) override
    {
        m_readers.push_back(std::this_thread::get_id());
        const std::size_t end = std::min(m_bytes.size(), m_failAt);
        const std::size_t got = std::min(n, end - std::min(end, m_pos));
        std::memcpy(dst, m_bytes.data() + m_pos, got);
        m_pos += got;
        if (got < n && m_failAt != std::string::npos) m_error = "Input/output error";
        return got;
    }
    std::vector<std::thread::id> m_readers;

private:
    const std::string& m_bytes;
    std::size_t m_failAt;
    std::size_t m_pos = 0;
};

std::string ImportWith(const std::string& bytes, EDxfThreading threading, std::size_t failAt = std::string::npos)
{
    CRecordingSource source(bytes, failAt);
    CMyvorla_ltDoc doc;
    std::vector<std::uint64_t> progress;
    const CDxfImportStats stats =
        ImportDxf(source, doc, [&](std::uint64_t n) { progress.push_back(n); }, bytes.size(), threading);
    return Outcome(doc, stats, progress);
}

// Both ways on the same bytes; reports where the outcomes first differ.
void ExpectSameBothWays(const std::string& bytes, const std::string& what, std::size_t failAt = std::string::npos)
{
    const std::string alone = ImportWith(bytes, EDxfThreading::CallerOnly, failAt);
    const std::string worker = ImportWith(bytes, EDxfThreading::Worker, failAt);
    if (alone == worker) return;
    std::size_t at = 0;
    while (at < alone.size() && at < worker.size() && alone[at] == worker[at]) ++at;
    ADD_FAILURE() << what << ": the outcomes differ from byte " << at << " of " << alone.size() << " and "
                  << worker.size();
}

std::string Number(std::mt19937_64& random)
{
    static const char* const odd[] = {"nan", "-inf", "1e999", "1e-320", "0x1p4", "  -3.5", "+2", "1,5", "-0",
                                      "12345678.123", "1.123456789", ".5", "-.", "", "7e2", "-0.000"};
    char text[64];
    switch (random() % 8) {
    case 0: return odd[random() % std::size(odd)];
    case 1: std::snprintf(text, sizeof text, "%.17g", double(std::int64_t(random())) / 1e9); break;
    default: std::snprintf(text, sizeof text, "%.6f", double(std::int64_t(random() % 200000000)) / 1000 - 1e5);
    }
    return text;
}

// A drawing of every producing and skipped kind with random values, codes written in the
// usual spellings and some unusual ones.
std::string Drawing(std::mt19937_64& random, std::size_t entities)
{
    static const char* const kinds[] = {"3DFACE", "3DFACE", "LINE", "SOLID", "POINT", "INSERT", "3dface", "LINE "};
    static const int numbers[] = {10, 20, 30, 11, 21, 31, 12, 22, 32, 13, 23, 33, 39, 210, 220, 230};
    static const char* const spellings[] = {"%3d", "%d", "%-3d", "%03d", "%5d"};
    std::string text = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n";
    text += random() % 8 ? "  0\nSECTION\n  2\nENTITIES\n" : "  0\nSECTION\n  2\nENTITIES \n";
    char code[16];
    for (std::size_t e = 0; e < entities; ++e) {
        text += std::string("  0\n") + kinds[random() % std::size(kinds)] + "\n";
        if (random() % 3 == 0) text += "  8\nLAYER_" + std::to_string(random() % 120) + "\n";
        if (random() % 4 == 0) text += " 62\n" + std::to_string(int(random() % 300) - 20) + "\n";
        const int groups = int(random() % 18);
        for (int g = 0; g < groups; ++g) {
            const char* spelling = spellings[random() % 16 == 0 ? random() % std::size(spellings) : 0];
            std::snprintf(code, sizeof code, spelling, numbers[random() % std::size(numbers)]);
            text += std::string(code) + "\n" + Number(random) + "\n";
        }
        if (random() % 50 == 0) text += "999\n" + std::string(random() % 400, 'c') + "\n";  // a long comment
        if (random() % 80 == 0) text += "  8\nA" + std::string(1, '\0') + "B\n";
    }
    return text + "  0\nENDSEC\n  0\nEOF\n";
}

std::string WithCrLf(const std::string& lf)
{
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

}  // namespace

TEST(DxfThreading, TestFilesGiveTheSameOutcome)
{
    for (const char* name : {"faces.dxf", "poli_thick_r12.dxf"}) {
        const std::string bytes = ReadWholeFile(std::string(VORLA_TEST_DATA) + "/dxf/" + name);
        ASSERT_FALSE(bytes.empty()) << name;
        ExpectSameBothWays(bytes, name);
        ExpectSameBothWays(WithCrLf(bytes), std::string(name) + " with CR LF");
    }
}

TEST(DxfThreading, RandomDrawingsGiveTheSameOutcome)
{
    std::mt19937_64 random(42);
    for (int round = 0; round < 30; ++round) {
        std::string text = Drawing(random, 1 + random() % 300);
        if (round % 3 == 1) text = WithCrLf(text);
        if (round % 5 == 2) text.resize(random() % text.size());  // ends anywhere
        ExpectSameBothWays(text, "drawing " + std::to_string(round));
    }
}

TEST(DxfThreading, TokenSoupGivesTheSameOutcome)
{
    std::mt19937_64 random(5);
    const std::string tokens[] = {"0\n", "3DFACE\n", "SOLID\n", "LINE\n", "10\n", "nan\n", "1e999\n", "39\n",
                                  "2\n", "ENTITIES\n", "\r\n", std::string(1, '\0'), "-1\n", "230\n", "-0\n",
                                  "8\n", "1e-320\n", "62\n", "  -7\n", std::string(300, 'x'), "\r", "1001\n"};
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const int count = int(random() % 400);
        for (int i = 0; i < count; ++i) text += tokens[random() % std::size(tokens)];
        ExpectSameBothWays(text, "soup " + std::to_string(round));
    }
}

TEST(DxfThreading, LargeInputsAcrossBlockAndBatchEdges)
{
    // Several 1 MiB blocks and many batches of pairs; the lead-in shifts where the blocks end
    // relative to the lines, and each long line crosses a block edge somewhere.
    std::mt19937_64 random(9);
    const std::string body = Drawing(random, 25000);
    for (std::size_t shift : {0, 1, 127, 255, 256, 4093}) {
        const std::string lead = "999\n" + std::string(shift, 'z') + "\n";
        ExpectSameBothWays(lead + body, "shift " + std::to_string(shift));
    }
    ExpectSameBothWays(WithCrLf(body), "CR LF");
    std::string lines;
    while (lines.size() < (3u << 20)) lines += "  0\n3DFACE\n 10\n" + std::string(random() % 600, '7') + "\n";
    ExpectSameBothWays(lines + "  0\nEOF\n", "long lines");
}

TEST(DxfThreading, AReadErrorGivesTheSameOutcome)
{
    std::mt19937_64 random(13);
    const std::string text = Drawing(random, 20000);
    for (std::size_t failAt : {std::size_t(0), std::size_t(1000), text.size() / 2, text.size() - 1})
        ExpectSameBothWays(text, "error at " + std::to_string(failAt), failAt);
    const std::string outcome = ImportWith(text, EDxfThreading::Worker, 1000);
    EXPECT_NE(outcome.find("Input/output error"), std::string::npos);
}

TEST(DxfThreading, TheWorkerReadsAndTheCallerReportsProgress)
{
    std::mt19937_64 random(17);
    const std::string text = Drawing(random, 10000);  // more than one block, less than the worker's minimum
    ASSERT_GT(text.size(), 1u << 20);
    ASSERT_LT(text.size(), 4u << 20);
    const auto caller = std::this_thread::get_id();
    for (EDxfThreading threading : {EDxfThreading::CallerOnly, EDxfThreading::Worker, EDxfThreading::Automatic}) {
        CRecordingSource source(text);
        CMyvorla_ltDoc doc;
        int reports = 0;
        ImportDxf(
            source, doc,
            [&](std::uint64_t) {
                EXPECT_EQ(std::this_thread::get_id(), caller);
                ++reports;
            },
            text.size(), threading);
        EXPECT_GT(reports, 1);
        ASSERT_FALSE(source.m_readers.empty());
        // Automatic takes the worker only for big sources; this one is below its size.
        const bool onWorker = threading == EDxfThreading::Worker;
        for (const auto& reader : source.m_readers) EXPECT_EQ(reader != caller, onWorker);
    }
}

TEST(DxfThreading, FailuresOnEitherThreadEndTheImportCleanly)
{
    std::mt19937_64 random(21);
    const std::string text = Drawing(random, 30000);

    // The caller's progress callback throws: the worker is stopped and joined.
    for (int after : {1, 2, 3}) {
        CMemorySource source(text);
        CMyvorla_ltDoc doc;
        int reports = 0;
        EXPECT_THROW(ImportDxf(
                         source, doc,
                         [&](std::uint64_t) {
                             if (++reports == after) throw std::runtime_error("cancelled");
                         },
                         text.size(), EDxfThreading::Worker),
                     std::runtime_error);
    }

    // The source throws on the worker thread: the exception reaches the caller.
    class CThrowingSource : public CByteSource {
    public:
        explicit CThrowingSource(const std::string& bytes) : m_inner(bytes) {}
        std::size_t Read(void* dst, std::size_t n) override
        {
            if (++m_reads == 3) throw std::runtime_error("source failed");
            return m_inner.Read(dst, n);
        }

    private:
        CMemorySource m_inner;
        int m_reads = 0;
    };
    CThrowingSource source(text);
    CMyvorla_ltDoc doc;
    EXPECT_THROW(ImportDxf(source, doc, {}, text.size(), EDxfThreading::Worker), std::runtime_error);
}

// The import read aside on a thread of its own, while the model's layer table holds other
// layers, leaves the table alone until it is applied, and then gives byte for byte what the
// import straight into the document gives.
TEST(DxfThreading, ReadAsideOnAnotherThreadThenAppliedGivesTheSameModel)
{
    std::mt19937_64 random(31);
    const std::string drawings[] = {Drawing(random, 3000), Drawing(random, 40000),
                                    ReadWholeFile(std::string(VORLA_TEST_DATA) + "/dxf/faces.dxf")};
    auto fillTable = [] {
        g_layerCount = 0;
        for (const char* name : {"Old", "LAYER_3", "Other"}) AddLayer(name);
        g_layerAttr[1][kRed] = 0.5;
        for (int i = 0; i < kTextureSlots; ++i) g_layerTexture[i] = "texture " + std::to_string(i);
    };
    for (const std::string& text : drawings) {
        fillTable();
        const std::string direct = ImportWith(text, EDxfThreading::Automatic);

        fillTable();
        std::string tableBefore;
        for (int i = 0; i < kMaxLayers; ++i) AppendText(tableBefore, g_layerName[i]), AppendBytes(tableBefore, g_layerAttr[i]);
        AppendBytes(tableBefore, g_layerCount);
        CRecordingSource source(text);
        std::vector<std::uint64_t> progress;
        CDxfImportAside aside;
        std::thread reader([&] {
            aside = ReadDxfAside(source, [&](std::uint64_t n) { progress.push_back(n); }, text.size());
        });
        reader.join();
        std::string tableAfter;
        for (int i = 0; i < kMaxLayers; ++i) AppendText(tableAfter, g_layerName[i]), AppendBytes(tableAfter, g_layerAttr[i]);
        AppendBytes(tableAfter, g_layerCount);
        EXPECT_EQ(tableAfter, tableBefore) << "the reading changed the layer table";

        CMyvorla_ltDoc doc;
        const CDxfImportStats stats = aside.stats;
        ApplyDxfImport(std::move(aside), doc);
        EXPECT_EQ(Outcome(doc, stats, progress), direct);
        EXPECT_EQ(g_layerTexture[0], "texture 0") << "the texture texts stay with their slots";
    }
}
