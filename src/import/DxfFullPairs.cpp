// Whole group codes, the pairs of binary DXF files, and the source that reads its start twice.
#include "import/DxfFullPairs.h"

#include <algorithm>

int DxfWholeGroupCode(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto blank = [&](std::size_t at) { return text[at] == ' ' || text[at] == '\t' || text[at] == '\r'; };
    while (i < n && blank(i)) ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long value = 0;
    std::size_t digits = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        if (value > 100000000) return kDxfBadCode;  // no group code comes near
        value = value * 10 + (text[i] - '0');
    }
    while (i < n && blank(i)) ++i;
    if (digits == 0 || i != n) return kDxfBadCode;
    return int(negative ? -value : value);
}

namespace {

enum class EBinaryValue { String, Double, Int16, Int32, Int64, Bool, Chunk };

// The type of a value in a binary DXF file, by its group code.
EBinaryValue BinaryValueOf(int code)
{
    auto in = [code](int from, int to) { return code >= from && code <= to; };
    if (in(310, 319) || code == 1004) return EBinaryValue::Chunk;
    if (in(290, 299)) return EBinaryValue::Bool;
    if (in(60, 79) || in(170, 179) || in(270, 289) || in(370, 389) || in(400, 409) || in(1060, 1070))
        return EBinaryValue::Int16;
    if (in(90, 99) || in(420, 429) || in(440, 459) || code == 1071) return EBinaryValue::Int32;
    if (in(160, 169)) return EBinaryValue::Int64;
    if (in(10, 59) || in(110, 149) || in(210, 239) || in(460, 469) || in(1010, 1059)) return EBinaryValue::Double;
    return EBinaryValue::String;
}

template <class T> T LittleEndian(const char* p)
{
    T value;
    std::memcpy(&value, p, sizeof value);  // the machines this runs on are little-endian
    return value;
}

constexpr std::size_t kBinaryBlock = 1 << 16;

}  // namespace

bool CDxfBinaryPairs::Ensure(std::size_t n)
{
    while (m_end - m_pos < n) {
        if (m_eof) return false;
        if (m_pos > 0) {
            m_buffer.erase(0, m_pos);
            m_end -= m_pos;
            m_pos = 0;
        }
        const std::size_t want = std::max(kBinaryBlock, n - m_end);
        m_buffer.resize(m_end + want);
        const std::size_t got = m_source.Read(m_buffer.data() + m_end, want);
        m_end += got;
        m_bytesRead += got;
        if (got < want) m_eof = true;
        if (m_progress) m_progress(m_bytesRead);
    }
    return true;
}

// A NUL-terminated string; of one longer than kDxfLongestValue only the start is kept.
bool CDxfBinaryPairs::ReadString(std::string& out)
{
    out.clear();
    bool cut = false;
    for (;;) {
        const char* begin = m_buffer.data() + m_pos;
        const void* nul = std::memchr(begin, '\0', m_end - m_pos);
        const std::size_t length = nul ? std::size_t(static_cast<const char*>(nul) - begin) : m_end - m_pos;
        const std::size_t room = kDxfLongestValue - out.size();
        if (length > room && !cut) {
            cut = true;
            ++m_cutStrings;
        }
        out.append(begin, std::min(length, room));
        m_pos += length;
        if (nul) {
            ++m_pos;
            return true;
        }
        if (!Ensure(1)) return false;
    }
}

void CDxfBinaryPairs::ForEachPair(const DxfPairTake& take)
{
    // Files of AC1009 and older write one-byte codes. The version is read from the header's
    // $ACADVER, which comes first; without one, the first pair (0, "SECTION") tells.
    bool oneByteCodes = true;
    Ensure(1024);
    const std::string_view start(m_buffer.data() + m_pos, std::min<std::size_t>(m_end - m_pos, 1024));
    const std::size_t var = start.find("$ACADVER");
    if (var != std::string_view::npos && var + 16 <= start.size()) {
        const std::size_t at = start[var + 10] == 'A' ? var + 10 : var + 11;
        oneByteCodes = start.substr(at, 6) <= "AC1009";
    } else if (start.size() >= 2) {
        oneByteCodes = !(start[0] == '\0' && start[1] == '\0');
    }

    std::string text;
    text.reserve(256);
    for (;;) {
        if (!Ensure(1)) return;
        int code;
        if (oneByteCodes) {
            code = static_cast<unsigned char>(m_buffer[m_pos]);
            if (code == 255) {
                if (!Ensure(3)) return void(m_truncated = true);
                code = LittleEndian<std::uint16_t>(m_buffer.data() + m_pos + 1);
                m_pos += 3;
            } else {
                m_pos += 1;
            }
        } else {
            if (!Ensure(2)) return void(m_truncated = true);
            code = LittleEndian<std::int16_t>(m_buffer.data() + m_pos);
            m_pos += 2;
        }
        CDxfFullValue value;
        const EBinaryValue kind = BinaryValueOf(code);
        if (kind == EBinaryValue::String) {
            if (!ReadString(text)) return void(m_truncated = true);
            const std::size_t length = text.size();
            text.append(CDxfLineReader::kPadding, '\0');
            value.text = std::string_view(text.data(), length);
        } else if (kind == EBinaryValue::Chunk) {
            if (!Ensure(1)) return void(m_truncated = true);
            const std::size_t length = static_cast<unsigned char>(m_buffer[m_pos]);
            if (!Ensure(1 + length)) return void(m_truncated = true);
            m_pos += 1 + length;
        } else {
            static constexpr std::size_t kSizes[] = {0, 8, 2, 4, 8, 1, 0};
            const std::size_t size = kSizes[int(kind)];
            if (!Ensure(size)) return void(m_truncated = true);
            const char* p = m_buffer.data() + m_pos;
            value.typed = true;
            switch (kind) {
            case EBinaryValue::Double: value.number = LittleEndian<double>(p); break;
            case EBinaryValue::Int16: value.number = LittleEndian<std::int16_t>(p); break;
            case EBinaryValue::Int32: value.number = LittleEndian<std::int32_t>(p); break;
            case EBinaryValue::Int64: value.number = double(LittleEndian<std::int64_t>(p)); break;
            default: value.number = static_cast<unsigned char>(*p); break;
            }
            m_pos += size;
        }
        if (!take(code, value)) return;
    }
}

std::size_t CPrefixedSource::Read(void* dst, std::size_t n)
{
    std::size_t done = 0;
    if (m_pos < m_prefix.size()) {
        done = std::min(n, m_prefix.size() - m_pos);
        std::memcpy(dst, m_prefix.data() + m_pos, done);
        m_pos += done;
    }
    if (done < n) done += m_inner.Read(static_cast<char*>(dst) + done, n - done);
    return done;
}
