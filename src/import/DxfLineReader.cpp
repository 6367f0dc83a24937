// Block refills of the DXF line reader and the lines at the end of the data.
#include "import/DxfLineReader.h"

CDxfLineReader::CDxfLineReader(CByteSource& source, std::size_t blockSize)
    : m_source(source), m_buffer(blockSize + kMaxLine + 2 + std::max(kPadding, kScanPadding)), m_blockSize(blockSize)
{
}

bool CDxfLineReader::NextNearEnd(std::string_view& text, bool& newline)
{
    for (;;) {
        const std::size_t avail = m_end - m_pos;
        if (avail >= kMaxLine + 2 || (m_eof && avail > 0)) {
            Cut(std::min(avail, kMaxLine + 2), text, newline);
            return true;
        }
        if (m_eof) return false;
        Refill();
    }
}

void CDxfLineReader::Refill()
{
    // Fewer than 257 bytes are left: move them to the front and read a block behind them.
    const std::size_t avail = m_end - m_pos;
    std::memmove(m_buffer.data(), m_buffer.data() + m_pos, avail);
    m_pos = 0;
    m_end = avail;
    const std::size_t got = m_source.Read(m_buffer.data() + m_end, m_blockSize);
    m_end += got;
    m_bytesRead += got;
    if (got < m_blockSize) m_eof = true;
    m_nulInBuffer = std::memchr(m_buffer.data(), '\0', m_end) != nullptr;
    Rescan();
    if (m_progress) m_progress(m_bytesRead);
}
