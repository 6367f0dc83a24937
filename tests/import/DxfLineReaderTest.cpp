// DXF lines must come out as fgets with a 256-byte buffer gives them from a text-mode stream,
// whatever the block size and wherever a block ends.
#include "DxfReferenceLines.h"
#include "import/DxfLineReader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using CLine = CReferenceLine;

std::vector<CLine> ReaderLines(const std::string& bytes, std::size_t blockSize)
{
    CMemorySource source(bytes);
    CDxfLineReader reader(source, blockSize);
    std::vector<CLine> lines;
    std::string_view text;
    bool newline = false;
    while (reader.Next(text, newline)) lines.push_back({std::string(text), newline});
    EXPECT_EQ(reader.BytesRead(), bytes.size());
    return lines;
}

}  // namespace

TEST(DxfLineReader, SplitsLongLinesAsFgetsDoes)
{
    const std::string l254(254, 'a'), l255(255, 'b'), l256(256, 'c');
    const std::vector<CLine> want = {{l254, true},           {l255, false},           {"", true},
                                     {std::string(255, 'c'), false}, {"c", true}, {l254, true},
                                     {"tail", false}};
    EXPECT_EQ(ReaderLines(l254 + "\n" + l255 + "\n" + l256 + "\n" + l254 + "\r\n" + "tail", 1 << 20), want);
}

TEST(DxfLineReader, DropsOnlyTheCrOfACrLfPair)
{
    const std::vector<CLine> want = {{"a", true}, {"b\r", true}, {"\rc", true}, {"d\r", false}};
    EXPECT_EQ(ReaderLines("a\r\nb\r\r\n\rc\nd\r", 1 << 20), want);
}

TEST(DxfLineReader, MatchesTheReferenceForAnyBlockSize)
{
    std::mt19937 random(11);
    const char alphabet[] = "\r\n\r\nx0 \0";
    for (int round = 0; round < 40; ++round) {
        std::string bytes;
        const int lines = 1 + int(random() % 30);
        for (int l = 0; l < lines; ++l) {
            // Lengths cluster around the 255-character limit.
            const int length = (random() % 2) ? int(random() % 8) : 250 + int(random() % 12);
            for (int c = 0; c < length; ++c) bytes += alphabet[random() % (sizeof alphabet - 1)];
            bytes += (random() % 3) ? "\r\n" : "\n";
        }
        if (random() % 2) bytes.pop_back();
        const auto want = ReferenceLines(bytes);
        for (std::size_t block : {1, 2, 3, 255, 256, 257, 258, 1000, 1 << 20})
            ASSERT_EQ(ReaderLines(bytes, block), want) << "round " << round << ", block " << block;
    }
}

TEST(DxfLineReader, CountsEachLongLineOnceAndReportsProgress)
{
    const std::string bytes = std::string(600, 'x') + "\nshort\n" + std::string(300, 'y');
    CMemorySource source(bytes);
    CDxfLineReader reader(source, 64);
    std::uint64_t last = 0;
    int calls = 0;
    reader.m_progress = [&](std::uint64_t bytes) {
        EXPECT_GE(bytes, last);
        last = bytes;
        ++calls;
    };
    std::string_view text;
    bool newline = false;
    while (reader.Next(text, newline)) {
    }
    EXPECT_EQ(reader.SplitLines(), 2u);
    EXPECT_EQ(last, 607u + 300u);
    EXPECT_GT(calls, 10);
}

TEST(DxfLineReader, ForEachLineGivesTheLinesOfNext)
{
    // The same lines and consumed counts as Next, also when `take` stops the loop at random
    // lines and it is started again.
    std::mt19937 random(23);
    const char alphabet[] = "\r\n\n\n\nx0 \0";
    for (int round = 0; round < 40; ++round) {
        std::string bytes;
        const int lines = 1 + int(random() % 60);
        for (int l = 0; l < lines; ++l) {
            const int length = (random() % 3) ? int(random() % 70) : 250 + int(random() % 12);
            for (int c = 0; c < length; ++c) bytes += alphabet[random() % (sizeof alphabet - 1)];
            bytes += (random() % 3) ? "\r\n" : "\n";
        }
        if (random() % 2) bytes.pop_back();
        const auto want = ReferenceLines(bytes);
        for (std::size_t block : {1, 3, 64, 255, 257, 300, 1000, 1 << 20}) {
            std::vector<std::uint64_t> wantConsumed;
            std::uint64_t wantSplit = 0;
            {
                CMemorySource source(bytes);
                CDxfLineReader reader(source, block);
                std::string_view text;
                bool newline = false;
                while (reader.Next(text, newline)) wantConsumed.push_back(reader.BytesConsumed());
                wantSplit = reader.SplitLines();
            }
            CMemorySource source(bytes);
            CDxfLineReader reader(source, block);
            std::vector<CLine> got;
            std::vector<std::uint64_t> consumed;
            auto take = [&](std::string_view text, bool newline) {
                got.push_back({std::string(text), newline});
                consumed.push_back(reader.BytesConsumed());
                return random() % 5 != 0;
            };
            while (reader.ForEachLine(take)) {
            }
            ASSERT_EQ(got, want) << "round " << round << ", block " << block;
            EXPECT_EQ(consumed, wantConsumed) << "round " << round << ", block " << block;
            EXPECT_EQ(reader.SplitLines(), wantSplit) << "round " << round << ", block " << block;
        }
    }
}
