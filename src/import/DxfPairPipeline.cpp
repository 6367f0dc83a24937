// The DXF pair worker: batches filled in ring order, handed over under one mutex.
#include "import/DxfPairPipeline.h"

#include "model/CoreLoad.h"

CDxfPairPipeline::CDxfPairPipeline(CByteSource& source) : m_cutter(source)
{
    for (CDxfPairBatch& batch : m_ring) batch.progress.reserve(4);
    m_cutter.Lines().m_progress = [this](std::uint64_t bytesRead) { m_filling->progress.push_back(bytesRead); };
    m_worker = std::thread([this] { Run(); });
}

CDxfPairPipeline::~CDxfPairPipeline()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_freed.notify_one();
    m_worker.join();
}

bool CDxfPairPipeline::CoreIsFree()
{
    // Without a count of runnable tasks, assume a free core. A task runnable only for a moment
    // (the shell that has just started this program, the thread that has just started this
    // import on its way to wait for it) takes no core from the worker: up to four looks half
    // a millisecond apart count only the tasks that stay.
    for (int look = 0; look < 4; ++look) {
        if (look > 0) std::this_thread::sleep_for(std::chrono::microseconds(500));
        const CCoreLoad load = ReadCoreLoad();
        if (load.cores < 2) return false;
        if (load.runnable < load.cores) return true;
    }
    return false;
}

const CDxfPairBatch* CDxfPairPipeline::Next()
{
    std::unique_lock lock(m_mutex);
    if (m_holding) {
        ++m_released;
        m_holding = false;
        m_freed.notify_one();
    }
    if (m_published == m_released && !m_finished) m_callerWaited = true;
    m_filled.wait(lock, [this] { return m_published > m_released || m_finished; });
    if (m_published > m_released) {
        m_holding = true;
        return &m_ring[m_released % kRing];
    }
    if (m_failure) std::rethrow_exception(m_failure);
    return nullptr;
}

void CDxfPairPipeline::Run()
{
    try {
        for (bool more = true; more;) {
            CDxfPairBatch* batch = nullptr;
            {
                std::unique_lock lock(m_mutex);
                // The share of numbers left to the caller follows which thread waits for which.
                if (m_callerWaited && m_deferShare < kDeferSteps) ++m_deferShare;
                m_callerWaited = false;
                if (m_published - m_released >= kRing && m_deferShare > 0) --m_deferShare;
                m_freed.wait(lock, [this] { return m_published - m_released < kRing || m_stop; });
                if (m_stop) return;
                batch = &m_ring[m_published % kRing];
            }
            more = Fill(*batch);
            {
                std::lock_guard lock(m_mutex);
                ++m_published;
                m_finished = !more;
            }
            m_filled.notify_one();
        }
    } catch (...) {
        {
            std::lock_guard lock(m_mutex);
            m_failure = std::current_exception();
            m_finished = true;
        }
        m_filled.notify_one();
    }
}

// Returns false when the data has ended. A batch also ends after a block read, so that the
// caller sees the progress of a long stretch of unused pairs, and a stop request is seen soon.
bool CDxfPairPipeline::Fill(CDxfPairBatch& batch)
{
    batch.progress.clear();
    m_filling = &batch;
    CDxfPair* const pairs = batch.pairs.get();
    char* const text = batch.text.get();
    std::size_t count = 0, textUsed = 0;
    const bool more = m_cutter.ForEachPair([&](int code, std::string_view value) {
        CDxfPair& pair = pairs[count];
        switch (DxfValueKind(code)) {
        case EDxfValue::Unused: return batch.progress.empty();
        case EDxfValue::Number: {
            m_deferCredit += m_deferShare;
            if (m_deferCredit >= kDeferSteps) {
                // Left as text: copying it costs this thread less than reading it. Lines have
                // CDxfLineReader::kPadding readable bytes after them, and the batch's text room
                // for more than one line: a fixed-size copy covers the usual number.
                m_deferCredit -= kDeferSteps;
                static_assert(CDxfLineReader::kPadding >= 16);
                if (value.size() <= 16) {
                    std::memcpy(text + textUsed, value.data(), 16);
                } else {
                    std::memcpy(text + textUsed, value.data(), value.size());
                }
                pair.offset = static_cast<std::uint32_t>(textUsed);
                pair.length = static_cast<std::uint16_t>(CDxfPair::kDeferred | value.size());
                textUsed += value.size();
                break;
            }
            const CAtofParts parts = ParseAtofParts(value);
            pair.numerator = parts.numerator;
            pair.length = static_cast<std::uint16_t>(parts.exponent);
            break;
        }
        case EDxfValue::Integer: pair.integer = ParseAtoi(value); break;
        case EDxfValue::Text:
            std::memcpy(text + textUsed, value.data(), value.size());
            pair.offset = static_cast<std::uint32_t>(textUsed);
            pair.length = static_cast<std::uint16_t>(value.size());
            pair.consumed = m_cutter.Lines().BytesConsumed();
            textUsed += value.size();
            break;
        }
        pair.code = static_cast<std::int16_t>(code);
        ++count;
        return count < CDxfPairBatch::kPairs && textUsed <= CDxfPairBatch::kText - CDxfLineReader::kMaxLine &&
               batch.progress.empty();
    });
    batch.count = count;
    batch.textUsed = textUsed;
    return more;
}
