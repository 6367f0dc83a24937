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

    // Calls take(text, newline) for every further line, as Next would give them, until take
    // returns false. Returns false at the end of the data or after a read error.
    // The same as calling Next in a loop, but the lines that are simply there, whole in the
    // buffer, are cut with the reader's position held in registers: `take` may store to any
    // memory without making it read the position back. BytesConsumed is up to date in `take`.
    template <class TTake> bool ForEachLine(TTake&& take)
    {
        for (;;) {
            const char* const buffer = m_buffer.data();
            const std::size_t end = m_end;
            std::size_t pos = m_pos, base = m_scanBase;
            std::uint64_t feeds = m_lineFeeds;
            bool more = true;
            while (end - pos >= kMaxLine + 2) {
                while (feeds == 0 && base + 64 < pos + kMaxLine + 2) {
                    base += 64;
                    feeds = LineFeedsAt(buffer, base, end);
                }
                if (feeds == 0) break;  // no line feed: a long line, for Cut to split
                const std::size_t at = base + std::size_t(std::countr_zero(feeds));
                const std::size_t length = at - pos;
                const std::size_t content = length - (length > 0 && buffer[at - 1] == '\r' ? 1 : 0);
                if (content >= kMaxLine) break;
                feeds &= feeds - 1;
                const std::string_view text(buffer + pos, content);
                m_pos = pos = at + 1;
                m_cutting = false;
                if (!take(text, true)) {
                    more = false;
                    break;
                }
            }
            m_scanBase = base;
            m_lineFeeds = feeds;
            if (!more) return true;
            // A line to split, or the end of the buffer: one line the general way.
            std::string_view text;
            bool newline = false;
            if (!Next(text, newline)) return false;
            if (!take(text, newline)) return true;
        }
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
        const std::size_t lf = FindLineFeed(window);
        if (lf != kNone) {
            const std::size_t length = lf - m_pos;
            const std::size_t content = length - (length > 0 && p[length - 1] == '\r' ? 1 : 0);
            if (content < kMaxLine) {
                text = {p, content};
                newline = true;
                m_pos = lf + 1;
                m_lineFeeds &= m_lineFeeds - 1;
                m_cutting = false;
                return;
            }
        }
        const std::size_t n = std::min(window, kMaxLine);
        text = {p, n};
        newline = false;
        m_pos += n;
        Rescan();
        if (n == kMaxLine && !m_cutting) ++m_splitLines;
        m_cutting = n == kMaxLine;
    }

    static constexpr std::size_t kNone = ~std::size_t(0);
    // Bytes read past m_end when looking for line feeds 64 at a time (their values are masked).
    static constexpr std::size_t kScanPadding = 64;

    // Position of the first line feed at or after m_pos and before m_pos + window, or kNone.
    // The line feeds of 64 bytes are found at once and kept as bits, so that finding the end
    // of the next line does not wait for the end of the last one to be known.
    std::size_t FindLineFeed(std::size_t window)
    {
        for (;;) {
            if (m_lineFeeds != 0) {
                const std::size_t at = m_scanBase + std::size_t(std::countr_zero(m_lineFeeds));
                return at < m_pos + window ? at : kNone;
            }
            if (m_scanBase + 64 >= m_pos + window) return kNone;
            m_scanBase += 64;
            m_lineFeeds = LineFeedsAt(m_buffer.data(), m_scanBase, m_end);
        }
    }
    // Starts the search for line feeds afresh at m_pos.
    void Rescan()
    {
        m_scanBase = m_pos;
        m_lineFeeds = LineFeedsAt(m_buffer.data(), m_pos, m_end);
    }
    // One bit for each line feed among the 64 bytes at `base`, leaving out bytes past `end`.
    static std::uint64_t LineFeedsAt(const char* buffer, std::size_t base, std::size_t end)
    {
        const char* p = buffer + base;
        std::uint64_t bits = 0;
#ifdef __SSE2__
        const __m128i lf = _mm_set1_epi8('\n');
        for (int i = 0; i < 4; ++i) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            bits |= std::uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)))) << (16 * i);
        }
#else
        for (int i = 0; i < 64; ++i) bits |= std::uint64_t(p[i] == '\n') << i;
#endif
        const std::size_t valid = end > base ? end - base : 0;
        return valid >= 64 ? bits : bits & ((std::uint64_t(1) << valid) - 1);
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
    bool m_cutting = false;  // the last piece was cut from a longer line
    bool m_nulInBuffer = false;
    std::size_t m_scanBase = 0;     // buffer position of bit 0 of m_lineFeeds
    std::uint64_t m_lineFeeds = 0;  // the line feeds from m_pos to m_scanBase + 64
};
