// Group-code and value pairs of a DXF text: the code line's group code and the value line
// after it, cut from the lines of CDxfLineReader, and which codes the import converts to numbers.
#pragma once

#include "import/DxfLineReader.h"
#include "import/NumberParse.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

// The C string of a line (up to a NUL byte) without its last character, which is the line
// feed of a whole line and a real character of a split or unterminated one.
inline std::string_view DxfValueOf(std::string_view text, bool newline, bool mayHoldNul)
{
    if (const void* nul = mayHoldNul ? std::memchr(text.data(), '\0', text.size()) : nullptr) {
        text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
        newline = false;
    }
    if (newline || text.empty()) return text;
    return text.substr(0, text.size() - 1);
}

// The group code is the integer value of the first three characters of the code line only,
// so it lies in -99 to 999. Codes written the usual ways ("  0", " 10", "210", "8", "62") are
// read here directly, this being the most frequent line of a file; anything else goes to
// ParseAtoi.
inline int DxfGroupCode(std::string_view text)
{
    if (text.size() == 3) {
        const unsigned a = static_cast<unsigned char>(text[0]) - '0';
        const unsigned b = static_cast<unsigned char>(text[1]) - '0';
        const unsigned c = static_cast<unsigned char>(text[2]) - '0';
        const bool blankA = text[0] == ' ', blankB = text[1] == ' ';
        if (c < 10 && (a < 10 || blankA) && (b < 10 || (blankA && blankB)))
            return int((blankA ? 0 : a) * 100 + (blankB ? 0 : b) * 10 + c);
    } else if (text.size() == 2) {
        const unsigned a = static_cast<unsigned char>(text[0]) - '0';
        const unsigned b = static_cast<unsigned char>(text[1]) - '0';
        if (a < 10 && b < 10) return int(a * 10 + b);
    } else if (text.size() == 1) {
        const unsigned a = static_cast<unsigned char>(text[0]) - '0';
        if (a < 10) return int(a);
    }
    return ParseAtoi(text.substr(0, 3));
}

inline constexpr int kDxfLowestCode = -99;
inline constexpr int kDxfHighestCode = 999;

// What the import needs of a value, by group code. Every code that the section gate or the
// entity machine reads is here; the values of all other codes are never looked at.
enum class EDxfValue : std::uint8_t {
    Unused,
    Text,     // entity names (0, -1), section names (2), layer names (8)
    Number,   // points (10 to 33), thickness (39), extrusion (210, 220, 230): atof
    Integer,  // colour number (62): atoi
};

inline constexpr std::array<EDxfValue, kDxfHighestCode - kDxfLowestCode + 1> kDxfValueKinds = [] {
    std::array<EDxfValue, kDxfHighestCode - kDxfLowestCode + 1> kinds{};
    auto set = [&](int code, EDxfValue kind) { kinds[std::size_t(code - kDxfLowestCode)] = kind; };
    for (int code : {-1, 0, 2, 8}) set(code, EDxfValue::Text);
    for (int code : {10, 20, 30, 11, 21, 31, 12, 22, 32, 13, 23, 33, 39, 210, 220, 230}) set(code, EDxfValue::Number);
    set(62, EDxfValue::Integer);
    return kinds;
}();

inline EDxfValue DxfValueKind(int code) { return kDxfValueKinds[std::size_t(code - kDxfLowestCode)]; }

// Cuts pairs from the lines of a byte source and keeps what the import reports about them.
class CDxfPairCutter {
public:
    explicit CDxfPairCutter(CByteSource& source, std::size_t blockSize = 1 << 20) : m_lines(source, blockSize) {}

    // Calls take(code, value) for every further pair until take returns false. Returns false
    // at the end of the data or after a read error, also when the data ends after a code line.
    // `value` is valid during the call and followed in memory by CDxfLineReader::kPadding
    // readable bytes.
    template <class TTake> bool ForEachPair(TTake&& take)
    {
        // Locals, so that the stores of `take` do not make the compiler read them back; a call
        // ends after a value line, so no code is left over between calls.
        bool haveCode = false;  // a code line was read; its value line comes next
        int code = 0;
        bool first = m_first;
        return m_lines.ForEachLine([&](std::string_view text, bool newline) {
            if (!haveCode) {
                if (first) {
                    constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";
                    m_binary = text.substr(0, kBinarySentinel.size()) == kBinarySentinel;
                    first = m_first = false;
                }
                code = CachedGroupCode(text);
                if (text.size() > 3 && HasDigitPastThird(text)) ++m_wideCodeLines;
                haveCode = true;
                return true;
            }
            haveCode = false;
            return take(code, DxfValueOf(text, newline, m_lines.MayHoldNul()));
        });
    }

    CDxfLineReader& Lines() { return m_lines; }
    const CDxfLineReader& Lines() const { return m_lines; }
    // The first line starts with the binary DXF sentinel.
    bool Binary() const { return m_binary; }
    // Code lines with digits past their third character, read from the first three only.
    std::uint64_t WideCodeLines() const { return m_wideCodeLines; }

private:
    // A file spells its group codes in a few dozen ways ("  0", " 10", "  8"): the codes of
    // short code lines are remembered by their bytes, which is cheaper than reading them.
    int CachedGroupCode(std::string_view text)
    {
        if (text.size() > 3) return DxfGroupCode(text);
        std::uint32_t bytes = 0;
        std::memcpy(&bytes, text.data(), 4);  // the line's padding makes 4 bytes readable
        const std::uint32_t key =
            (bytes & ((std::uint32_t(1) << (8 * text.size())) - 1)) | std::uint32_t(text.size()) << 24;
        CCodeEntry& entry = m_codes[(key * 0x9E3779B1u) >> (32 - kCodeBits)];
        if (entry.key != key) entry = {key, DxfGroupCode(text)};
        return entry.code;
    }

    static bool HasDigitPastThird(std::string_view text)
    {
        return text.find_first_of("0123456789", 3) != std::string_view::npos;
    }

    struct CCodeEntry {
        std::uint32_t key = ~std::uint32_t(0);  // no code line has this key
        int code = 0;
    };
    static constexpr int kCodeBits = 8;
    static_assert(CDxfLineReader::kPadding >= 4);

    CDxfLineReader m_lines;
    CCodeEntry m_codes[1 << kCodeBits];
    bool m_first = true;
    bool m_binary = false;
    std::uint64_t m_wideCodeLines = 0;
};
