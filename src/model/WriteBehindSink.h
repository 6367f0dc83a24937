// A sink that writes big outputs behind the writer: past the first few megabytes its blocks
// go to a thread of its own, which hands them to the file's sink, so that the writer makes the
// next block while the kernel copies the last one into the file.
#pragma once

#include "model/ByteStream.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class CWriteBehindSink : public CByteSink {
public:
    explicit CWriteBehindSink(CByteSink& target) : m_target(target) {}
    // Waits for the blocks still to be written.
    ~CWriteBehindSink() override;
    CWriteBehindSink(const CWriteBehindSink&) = delete;
    CWriteBehindSink& operator=(const CWriteBehindSink&) = delete;

    // Writes at once while the output is small (or no thread can be had); later copies the
    // bytes into a free block and returns. A failure of the target shows in a later call, at
    // the latest in Finish.
    bool Write(const void* src, std::size_t n) override;
    // Waits until every byte is with the target; false, with Error() saying why, when the
    // target failed.
    bool Finish();

    // Bytes written before the thread starts: smaller outputs do without it.
    static constexpr std::uint64_t kDirectBytes = 4u << 20;
    static constexpr std::size_t kBlockBytes = 1u << 20;

private:
    static constexpr std::size_t kBlocks = 4;
    struct CBlock {
        std::unique_ptr<char[]> bytes{new char[kBlockBytes]};
        std::size_t used = 0;  // written by the writer's thread before it queues the block
    };

    void Run();
    bool StartThread();
    // Hands the block being filled to the thread and moves on to the next.
    void Queue();
    // Takes the target's error, once the thread is stopped or under the mutex.
    bool TakeTargetError();
    CFileProblem TargetProblem() const;

    CByteSink& m_target;
    std::uint64_t m_direct = 0;  // bytes written at once

    std::unique_ptr<CBlock[]> m_blocks;
    std::size_t m_filling = 0;       // the block the writer's thread fills (its own until queued)
    bool m_fillingOpen = false;      // it is free and being filled
    std::mutex m_mutex;
    std::condition_variable m_queued;  // a block was queued, or the thread is to stop
    std::condition_variable m_done;    // a block was written
    std::uint64_t m_queuedCount = 0;   // blocks queued, in ring order
    std::uint64_t m_writtenCount = 0;  // of those, blocks the thread has written
    bool m_stop = false;
    bool m_targetFailed = false;
    std::thread m_thread;
};
