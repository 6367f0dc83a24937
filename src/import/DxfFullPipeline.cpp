// The full DXF import's pair worker: batches filled in ring order, handed over under one mutex.
#include "import/DxfFullPipeline.h"

#include <cstring>

CDxfFullPipeline::CDxfFullPipeline(CByteSource& source, std::size_t blockSize) : m_pairs(source, blockSize)
{
    for (CDxfFullBatch& batch : m_ring) {
        batch.pairs.reserve(CDxfFullBatch::kPairs);
        batch.text.reserve(CDxfFullBatch::kText);
    }
    m_pairs.Lines().m_progress = [this](std::uint64_t bytesRead) { m_filling->progress.push_back(bytesRead); };
    m_worker = std::thread([this] { Run(); });
}

CDxfFullPipeline::~CDxfFullPipeline()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_freed.notify_one();
    m_worker.join();
}

const CDxfFullBatch* CDxfFullPipeline::Next()
{
    std::unique_lock lock(m_mutex);
    if (m_holding) {
        ++m_released;
        m_holding = false;
        m_freed.notify_one();
    }
    m_filled.wait(lock, [this] { return m_published > m_released || m_finished; });
    if (m_published > m_released) {
        m_holding = true;
        return &m_ring[m_released % kRing];
    }
    if (m_failure) std::rethrow_exception(m_failure);
    return nullptr;
}

void CDxfFullPipeline::Run()
{
    try {
        for (bool more = true; more;) {
            CDxfFullBatch* batch = nullptr;
            {
                std::unique_lock lock(m_mutex);
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
bool CDxfFullPipeline::Fill(CDxfFullBatch& batch)
{
    batch.progress.clear();
    batch.pairs.clear();
    batch.text.clear();
    m_filling = &batch;
    return m_pairs.ForEachPair([&](int code, const CDxfFullValue& value) {
        const EDxfFullValue kind = DxfFullValueKind(code);
        if (kind == EDxfFullValue::Unused) return batch.progress.empty();
        CDxfFullPair& pair = batch.pairs.emplace_back();
        pair.code = code;
        pair.kind = kind;
        pair.consumed = m_pairs.Lines().BytesConsumed();
        if (kind == EDxfFullValue::Number) {
            pair.number = value.Number();
        } else if (kind == EDxfFullValue::Integer) {
            pair.number = value.Integer();
        } else {
            pair.offset = static_cast<std::uint32_t>(batch.text.size());
            pair.length = static_cast<std::uint32_t>(value.text.size());
            batch.text.insert(batch.text.end(), value.text.begin(), value.text.end());
            batch.text.insert(batch.text.end(), CDxfLineReader::kPadding, '\0');
        }
        return batch.pairs.size() < CDxfFullBatch::kPairs && batch.text.size() < CDxfFullBatch::kText &&
               batch.progress.empty();
    });
}
