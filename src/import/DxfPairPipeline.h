// A worker thread that reads a DXF text, cuts it into pairs and converts their numbers ahead of
// the import's entity machine, which takes the pairs in file order, in batches, on its own thread.
// When the entity machine keeps up with room to spare, the worker leaves part of the numbers'
// conversion to it, so that both threads stay busy.
#pragma once

#include "import/DxfPairs.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

// One pair with its value as the import needs it (DxfValueKind of the code); pairs of unused
// codes are not kept. A Number is either converted (but for its division) or left as text for
// the caller's thread to convert: its length then has kDeferred added.
struct CDxfPair {
    static constexpr std::uint16_t kDeferred = 0x8000;

    std::int16_t code;
    // Text: bytes of the value in the batch's text; Number: the exponent of CAtofParts, or
    // kDeferred plus the bytes of its text.
    std::uint16_t length;
    std::uint32_t offset;  // Text and deferred Number: where the value starts in the batch's text
    union {
        double numerator;        // Number: see CAtofParts; the caller's thread does the division
        int integer;             // Integer: as atoi reads the value
        std::uint64_t consumed;  // Text: bytes of the source consumed up to the end of the value line
    };
};
static_assert(sizeof(CDxfPair) == 16);

// Pairs in file order and the progress reports of the block reads made while cutting them.
struct CDxfPairBatch {
    static constexpr std::size_t kPairs = 16384;
    // Room for every text value of kPairs pairs of a usual file, numbers left as text among
    // them; a batch ends early when fewer than CDxfLineReader::kMaxLine bytes are left, so the
    // text of every value is followed by at least 16 readable bytes.
    static constexpr std::size_t kText = 512 << 10;

    CDxfPairBatch() : pairs(new CDxfPair[kPairs]), text(new char[kText]) {}
    std::string_view Text(const CDxfPair& pair) const { return {text.get() + pair.offset, pair.length}; }

    std::unique_ptr<CDxfPair[]> pairs;
    std::size_t count = 0;
    std::unique_ptr<char[]> text;
    std::size_t textUsed = 0;
    std::vector<std::uint64_t> progress;  // bytes read so far, after each block read
};

// The worker starts with the pipeline and is stopped and joined by its destructor, whatever
// state either thread is in. Memory stays at a few batches whatever the size of the source.
class CDxfPairPipeline {
public:
    // Throws std::system_error when no thread can be started; nothing is read then.
    explicit CDxfPairPipeline(CByteSource& source);
    ~CDxfPairPipeline();
    CDxfPairPipeline(const CDxfPairPipeline&) = delete;
    CDxfPairPipeline& operator=(const CDxfPairPipeline&) = delete;

    // The next batch; nullptr after the last one. The batch is the caller's until the next
    // call. Rethrows, on the caller's thread, an exception that ended the worker.
    const CDxfPairBatch* Next();

    // Whether a core is free for the worker now: the worker pays only on a core of its own.
    // On a machine whose cores are all busy the two threads get no more processor time than
    // one would, and the handing over of pairs costs some of it.
    static bool CoreIsFree();

    // What the cutter found; to be read once Next has returned nullptr.
    const CDxfPairCutter& Cutter() const { return m_cutter; }

private:
    static constexpr std::size_t kRing = 4;

    void Run();
    bool Fill(CDxfPairBatch& batch);

    // Of every 16 numbers, how many the worker leaves to the caller's thread: one more after
    // the caller had to wait for a batch, one fewer after the worker had to wait for a free
    // one. Starting at half, so that both ways serve every input from its first batch.
    static constexpr int kDeferSteps = 16;
    int m_deferShare = kDeferSteps / 2;  // the worker's alone
    int m_deferCredit = 0;
    CDxfPairCutter m_cutter;  // the worker's alone until it has finished
    CDxfPairBatch m_ring[kRing];
    CDxfPairBatch* m_filling = nullptr;

    std::mutex m_mutex;
    std::condition_variable m_filled;  // the worker published a batch or finished
    std::condition_variable m_freed;   // the caller gave a batch back or asks the worker to stop
    std::uint64_t m_published = 0;     // batches handed over, in ring order
    std::uint64_t m_released = 0;      // of those, batches given back
    bool m_holding = false;            // the caller holds batch m_released
    bool m_callerWaited = false;       // the caller found no batch ready since the last one
    bool m_finished = false;           // the worker published its last batch or failed
    bool m_stop = false;
    std::exception_ptr m_failure;

    std::thread m_worker;  // last: starts once everything above is built
};
