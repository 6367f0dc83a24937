// The write-behind sink: a ring of blocks filled by the writer's thread and written, in order,
// by the sink's own thread.
#include "model/WriteBehindSink.h"

#include <algorithm>
#include <cstring>
#include <system_error>

CWriteBehindSink::~CWriteBehindSink()
{
    if (!m_thread.joinable()) return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_queued.notify_one();
    m_thread.join();
}

bool CWriteBehindSink::StartThread()
{
    try {
        m_blocks = std::make_unique<CBlock[]>(kBlocks);
        m_thread = std::thread([this] { Run(); });
        return true;
    } catch (const std::system_error&) {
    } catch (const std::bad_alloc&) {
    }
    m_blocks.reset();
    return false;
}

CFileProblem CWriteBehindSink::TargetProblem() const
{
    if (m_target.Problem().Failed()) return m_target.Problem();
    CFileProblem problem = CFileProblem::Of(EFileProblem::kOther);
    problem.systemText = m_target.Error();
    return problem;
}

bool CWriteBehindSink::TakeTargetError()
{
    if (Failed()) return false;
    if (!m_targetFailed) return true;
    Refuse(TargetProblem());
    return false;
}

bool CWriteBehindSink::Write(const void* src, std::size_t n)
{
    if (Failed()) return false;
    if (!m_thread.joinable()) {
        if (m_direct + n <= kDirectBytes || !StartThread()) {
            m_direct += n;
            const bool ok = m_target.Write(src, n);
            if (!ok) Refuse(TargetProblem());
            return ok;
        }
    }
    const char* p = static_cast<const char*>(src);
    while (n > 0) {
        CBlock& block = m_blocks[m_filling];
        if (!m_fillingOpen) {
            // The block was queued kBlocks blocks ago, if ever: wait until it is written.
            std::unique_lock lock(m_mutex);
            m_done.wait(lock, [this] { return m_queuedCount - m_writtenCount < kBlocks || m_targetFailed; });
            if (!TakeTargetError()) return false;
            block.used = 0;
            m_fillingOpen = true;
        }
        const std::size_t take = std::min(n, kBlockBytes - block.used);
        std::memcpy(block.bytes.get() + block.used, p, take);
        block.used += take;
        p += take;
        n -= take;
        if (block.used == kBlockBytes) Queue();
    }
    return true;
}

void CWriteBehindSink::Queue()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_queuedCount;
    }
    m_queued.notify_one();
    m_filling = (m_filling + 1) % kBlocks;
    m_fillingOpen = false;
}

bool CWriteBehindSink::Finish()
{
    if (!m_thread.joinable()) return !Failed();
    if (!Failed() && m_fillingOpen && m_blocks[m_filling].used > 0) Queue();
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_writtenCount == m_queuedCount; });
    return TakeTargetError();
}

void CWriteBehindSink::Run()
{
    for (;;) {
        CBlock* block = nullptr;
        bool skip = false;
        {
            std::unique_lock lock(m_mutex);
            m_queued.wait(lock, [this] { return m_writtenCount < m_queuedCount || m_stop; });
            if (m_stop) return;
            block = &m_blocks[m_writtenCount % kBlocks];
            skip = m_targetFailed;  // after a failure the rest is not written, only counted
        }
        const bool failed = !skip && !m_target.Write(block->bytes.get(), block->used);
        {
            std::lock_guard lock(m_mutex);
            if (failed) m_targetFailed = true;
            ++m_writtenCount;
        }
        m_done.notify_one();
    }
}
