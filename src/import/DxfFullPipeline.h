// A worker thread for the full DXF import of a text file: it reads the source, cuts it into
// pairs and converts the numbers the reader uses, handing the pairs in batches, in file order,
// to the reader on the caller's thread.
#pragma once

#include "import/DxfFullPairs.h"
#include "import/DxfFullRecords.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// One pair: a text (in the batch's text), or a number or integer already converted.
struct CDxfFullPair {
    std::int32_t code;
    EDxfFullValue kind;
    std::uint32_t offset = 0;  // Text: where the value starts in the batch's text
    std::uint32_t length = 0;  // Text: its bytes
    double number = 0;         // Number and Integer
    std::uint64_t consumed = 0;  // bytes of the source consumed up to the end of this pair
};

struct CDxfFullBatch {
    static constexpr std::size_t kPairs = 16384;
    static constexpr std::size_t kText = 256 << 10;  // grows for a longer value

    std::vector<CDxfFullPair> pairs;
    std::vector<char> text;  // the values, each followed by CDxfLineReader::kPadding bytes
    std::vector<std::uint64_t> progress;  // bytes read so far, after each block read
};

// The worker starts with the pipeline and is stopped and joined by its destructor.
class CDxfFullPipeline {
public:
    // Throws std::system_error when no thread can be started; nothing is read then.
    CDxfFullPipeline(CByteSource& source, std::size_t blockSize);
    ~CDxfFullPipeline();
    CDxfFullPipeline(const CDxfFullPipeline&) = delete;
    CDxfFullPipeline& operator=(const CDxfFullPipeline&) = delete;

    // The next batch, the caller's until the next call; nullptr after the last one. Rethrows
    // on the caller's thread what ended the worker.
    const CDxfFullBatch* Next();

    // What the cutting found; to be read once Next has returned nullptr.
    CDxfTextPairs& Pairs() { return m_pairs; }

private:
    static constexpr std::size_t kRing = 4;
    void Run();
    bool Fill(CDxfFullBatch& batch);

    CDxfTextPairs m_pairs;  // the worker's alone until it has finished
    CDxfFullBatch m_ring[kRing];
    CDxfFullBatch* m_filling = nullptr;

    std::mutex m_mutex;
    std::condition_variable m_filled;
    std::condition_variable m_freed;
    std::uint64_t m_published = 0;
    std::uint64_t m_released = 0;
    bool m_holding = false;
    bool m_finished = false;
    bool m_stop = false;
    std::exception_ptr m_failure;

    std::thread m_worker;  // last: starts once everything above is built
};
