// Group-code and value pairs for the full DXF import: text files with codes read whole and lines
// of any length, and binary DXF files, both handing out the same kind of value.
#pragma once

#include "import/DxfLineReader.h"
#include "import/NumberParse.h"
#include "model/ByteStream.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

// A code line that holds no whole number ("abc", "1 0", empty): its pair is read past.
inline constexpr int kDxfBadCode = INT_MIN;

// The group code of a code line, read whole: blanks around it, an optional sign, digits.
int DxfWholeGroupCode(std::string_view text);

// atoi of a value line: blanks and up to nine digits, the way codes and counts are written,
// read here; anything else by ParseAtoi.
inline int TextInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t first = i;
    int value = 0;
    for (; i < text.size() && i - first < 9; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - '0';
        if (digit > 9) break;
        value = value * 10 + int(digit);
    }
    if (i == text.size() && i > first) return value;
    return ParseAtoi(text);
}

// One value: the text of its line in a text file; in a binary file a string, or a number.
// Text values are followed in memory by at least 8 readable bytes, as ParseAtofPadded needs.
struct CDxfFullValue {
    std::string_view text;
    bool typed = false;  // binary: `number` holds the value (integers too)
    double number = 0.0;

    double Number() const { return typed ? number : ParseAtofPadded(text); }
    int Integer() const
    {
        if (!typed) return TextInteger(text);
        if (!(number > double(INT_MIN) && number < double(INT_MAX))) return number > 0 ? INT_MAX : INT_MIN;
        return int(number);
    }
};

// The longest value kept whole. No name or number a face needs comes near it; the rest of a
// longer line is read past (and counted), so one huge line cannot exhaust the memory.
inline constexpr std::size_t kDxfLongestValue = 1 << 20;

using DxfPairTake = std::function<bool(int code, const CDxfFullValue& value)>;

// Pairs of a DXF text file. Lines are cut by CDxfLineReader and the pieces of a line longer
// than its 255 characters joined again; a CR LF reads as one line end; a value is its line up
// to a NUL byte, and an unterminated last line keeps all its characters.
class CDxfTextPairs {
public:
    explicit CDxfTextPairs(CByteSource& source, std::size_t blockSize = 1 << 20) : m_lines(source, blockSize) {}

    // Calls take(code, value) for every pair until take returns false (then returns true; a
    // later call goes on with the next pair) or the data ends (then returns false).
    template <class TTake> bool ForEachPair(TTake&& take)
    {
        bool haveCode = false;
        int code = 0;
        auto line = [&](std::string_view text) {
            if (!haveCode) {
                code = CachedCode(text);
                haveCode = true;
                return true;
            }
            haveCode = false;
            CDxfFullValue value;
            value.text = text;
            return take(code, value);
        };
        const bool stopped = m_lines.ForEachLine([&](std::string_view text, bool newline) {
            if (!newline || m_joining) {
                Join(text);
                if (!newline) return true;
                text = Joined();
            } else if (m_lines.MayHoldNul()) {
                text = UpToNul(text);
            }
            return line(text);
        });
        if (!stopped && m_joining) {
            // The data ended inside a line: its characters count, but a CR of a CR LF that
            // lost its LF is no character.
            std::string_view text = Joined();
            if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
            line(text);
        }
        return stopped;
    }

    CDxfLineReader& Lines() { return m_lines; }
    // Lines longer than kDxfLongestValue, of which only the start was kept.
    std::uint64_t CutLines() const { return m_cutLines; }
    // Code lines that hold no whole number.
    std::uint64_t BadCodeLines() const { return m_badCodeLines; }

private:
    static std::string_view UpToNul(std::string_view text)
    {
        const void* nul = std::memchr(text.data(), '\0', text.size());
        return nul ? text.substr(0, std::size_t(static_cast<const char*>(nul) - text.data())) : text;
    }

    // Pieces of one line: a split line comes as pieces of 255 characters without line end.
    void Join(std::string_view piece)
    {
        if (!m_joining) {
            m_joined.clear();
            m_joining = true;
            m_joinedCut = false;
        }
        const std::size_t room = kDxfLongestValue - std::min(m_joined.size(), kDxfLongestValue);
        if (piece.size() > room && !m_joinedCut) {
            m_joinedCut = true;
            ++m_cutLines;
        }
        m_joined.append(piece.substr(0, std::min(room, piece.size())));
    }
    std::string_view Joined()
    {
        m_joining = false;
        const std::size_t length = m_joined.size();
        m_joined.append(CDxfLineReader::kPadding, '\0');
        return UpToNul(std::string_view(m_joined.data(), length));
    }

    // Most files spell their codes in a few ways ("  0", " 10", "1001"): the codes of short
    // lines are remembered by their bytes.
    int CachedCode(std::string_view text)
    {
        int code;
        if (text.size() > 8) {
            code = DxfWholeGroupCode(text);
        } else {
            std::uint64_t bytes = 0;
            std::memcpy(&bytes, text.data(), 8);  // the line's padding makes 8 bytes readable
            if (text.size() < 8) bytes &= (std::uint64_t(1) << (8 * text.size())) - 1;
            const std::uint64_t hash = (bytes ^ text.size()) * 0x9E3779B97F4A7C15ull;
            CCodeEntry& entry = m_codes[hash >> (64 - kCodeBits)];
            if (entry.size != text.size() || entry.bytes != bytes)
                entry = {bytes, static_cast<std::uint8_t>(text.size()), DxfWholeGroupCode(text)};
            code = entry.code;
        }
        if (code == kDxfBadCode) ++m_badCodeLines;
        return code;
    }

    struct CCodeEntry {
        std::uint64_t bytes = 0;
        std::uint8_t size = 0xFF;  // no line is remembered yet
        int code = 0;
    };
    static constexpr int kCodeBits = 8;
    static_assert(CDxfLineReader::kPadding >= 8);

    CDxfLineReader m_lines;
    CCodeEntry m_codes[1 << kCodeBits];
    std::string m_joined;
    bool m_joining = false;
    bool m_joinedCut = false;
    std::uint64_t m_cutLines = 0;
    std::uint64_t m_badCodeLines = 0;
};

// The first bytes of a binary DXF file.
inline constexpr std::string_view kDxfBinarySentinel{"AutoCAD Binary DXF\r\n\x1a\0", 22};

// Pairs of a binary DXF file, after its sentinel: group codes of one byte (255 then two bytes
// for wider ones) in files of version AC1009 and older, two bytes in later ones; values typed
// by their group code (strings ending in NUL, little-endian integers and doubles, chunks of
// bytes with a length byte).
class CDxfBinaryPairs {
public:
    // `source` is positioned just past the sentinel.
    explicit CDxfBinaryPairs(CByteSource& source) : m_source(source) {}

    void ForEachPair(const DxfPairTake& take);

    // The data ended inside a pair.
    bool Truncated() const { return m_truncated; }
    std::uint64_t BytesRead() const { return m_bytesRead; }
    std::uint64_t BytesConsumed() const { return m_bytesRead - (m_end - m_pos); }
    std::uint64_t CutStrings() const { return m_cutStrings; }
    const std::string& Error() const { return m_source.Error(); }

    std::function<void(std::uint64_t)> m_progress;

private:
    bool Ensure(std::size_t n);
    bool ReadString(std::string& out);

    CByteSource& m_source;
    std::string m_buffer;
    std::size_t m_pos = 0, m_end = 0;
    bool m_eof = false;
    bool m_truncated = false;
    std::uint64_t m_bytesRead = 0;
    std::uint64_t m_cutStrings = 0;
};

// A source that hands out `prefix` first, then the rest of `inner`: what was read to tell a
// binary file from a text file is read again by the reader chosen.
class CPrefixedSource : public CByteSource {
public:
    CPrefixedSource(CByteSource& inner, std::string prefix) : m_inner(inner), m_prefix(std::move(prefix)) {}
    std::size_t Read(void* dst, std::size_t n) override;
    const std::string& Error() const override { return m_inner.Error(); }

private:
    CByteSource& m_inner;
    std::string m_prefix;
    std::size_t m_pos = 0;
};
