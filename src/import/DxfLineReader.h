// Lines of a DXF text file as fgets with a 256-byte buffer hands them out of a text-mode
// stream, read from a byte source in large blocks.
#pragma once

#include "model/ByteStream.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// A CR LF pair reads as one line feed (any other CR is an ordinary character). A line holds at
// most 255 characters counting its line feed: a longer line is handed out as 255 characters
// without a line feed, and its remainder is the next line, exactly as fgets splits it.
class CDxfLineReader {
public:
    static constexpr std::size_t kMaxLine = 255;

    explicit CDxfLineReader(CByteSource& source, std::size_t blockSize = 1 << 20);

    // The next line, without its line feed; `newline` says whether it had one. The text stays
    // valid until the next call. Returns false at the end of the data or after a read error.
    bool Next(std::string_view& text, bool& newline)
    {
        // 255 characters, a CR and the LF: the most raw bytes one line can take.
        if (m_end - m_pos >= kMaxLine + 2) {
            Cut(kMaxLine + 2, text, newline);
            return true;
        }
        return NextNearEnd(text, newline);
    }

    // Bytes taken from the source so far, and of those the bytes handed out as lines.
    std::uint64_t BytesRead() const { return m_bytesRead; }
    std::uint64_t BytesConsumed() const { return m_bytesRead - (m_end - m_pos); }
    // False when no NUL byte is among the buffered bytes, so lines need not be searched for one.
    bool MayHoldNul() const { return m_nulInBuffer; }
    // Lines longer than 255 characters met so far (each handed out in pieces).
    std::uint64_t SplitLines() const { return m_splitLines; }
    // Readable bytes after the end of every line handed out (their values are unspecified).
    static constexpr std::size_t kPadding = 16;
    // Non-empty when the source reported a read error.
    const std::string& Error() const { return m_source.Error(); }

    // Called after every block read with the number of bytes read so far.
    std::function<void(std::uint64_t)> m_progress;

private:
    // Takes one line from the next `window` raw bytes, all of them buffered.
    void Cut(std::size_t window, std::string_view& text, bool& newline)
    {
        const char* p = m_buffer.data() + m_pos;
        if (const char* lf = FindLineFeed(p, window)) {
            const std::size_t length = static_cast<std::size_t>(lf - p);
            const std::size_t content = length - (length > 0 && p[length - 1] == '\r' ? 1 : 0);
            if (content < kMaxLine) {
                text = {p, content};
                newline = true;
                m_pos += length + 1;
                m_cutting = false;
                return;
            }
        }
        const std::size_t n = std::min(window, kMaxLine);
        text = {p, n};
        newline = false;
        m_pos += n;
        if (n == kMaxLine && !m_cutting) ++m_splitLines;
        m_cutting = n == kMaxLine;
        return;
    }
    // Most lines are short: one 16-byte comparison finds their end (the buffer is padded so
    // that 16 bytes can be read at any position).
    static const char* FindLineFeed(const char* p, std::size_t window)
    {
#ifdef __SSE2__
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
        if (mask != 0) {
            const std::size_t at = std::size_t(std::countr_zero(mask));
            return at < window ? p + at : nullptr;
        }
        if (window <= 16) return nullptr;
        return static_cast<const char*>(std::memchr(p + 16, '\n', window - 16));
#else
        return static_cast<const char*>(std::memchr(p, '\n', window));
#endif
    }
    bool NextNearEnd(std::string_view& text, bool& newline);
    void Refill();

    CByteSource& m_source;
    std::vector<char> m_buffer;
    std::size_t m_blockSize;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_eof = false;
    std::uint64_t m_bytesRead = 0;
    std::uint64_t m_splitLines = 0;
    bool m_cutting = false;
    bool m_nulInBuffer = false;  // the last piece was cut from a longer line
};
