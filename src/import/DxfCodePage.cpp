// Decoding of DXF layer names through iconv.
#include "import/DxfCodePage.h"

#include "model/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iconv.h>
#include <vector>

namespace {

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool AllAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void AppendUtf8(std::string& out, unsigned cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "\U+0416" is the character U+0416: DXF writers use it for characters outside the code page.
// Surrogates and NUL are left as written.
std::string DecodeEscapes(std::string_view text)
{
    if (text.find("\\U+") == std::string_view::npos) return std::string(text);
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.substr(i, 3) == "\\U+" && i + 7 <= text.size()) {
            unsigned cp = 0;
            bool hex = true;
            for (std::size_t k = i + 3; k < i + 7; ++k) {
                const int d = HexDigit(text[k]);
                hex = hex && d >= 0;
                cp = cp * 16 + unsigned(std::max(d, 0));
            }
            if (hex && cp != 0 && !(cp >= 0xD800 && cp <= 0xDFFF)) {
                AppendUtf8(out, cp);
                i += 7;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

}  // namespace

std::string DxfIconvName(std::string_view dwgCodePage)
{
    const std::string name = Upper(dwgCodePage);
    auto digitsAfter = [&](std::string_view prefix) -> std::string {
        if (name.compare(0, prefix.size(), prefix) != 0) return {};
        const std::string digits = name.substr(prefix.size());
        if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return {};
        return digits;
    };
    if (const std::string cp = digitsAfter("ANSI_"); !cp.empty()) {
        if (cp == "1361") return "JOHAB";
        if (cp == "1200") return {};  // reserved for Unicode, never written
        return "CP" + cp;
    }
    if (const std::string cp = digitsAfter("DOS"); !cp.empty()) return "CP" + cp;
    if (const std::string cp = digitsAfter("ISO8859-"); !cp.empty()) return "ISO-8859-" + cp;
    if (name == "MACINTOSH" || name == "MAC-ROMAN") return "MACINTOSH";
    if (name == "BIG5") return "BIG5";
    if (name == "KSC5601") return "CP949";
    if (name == "JOHAB") return "JOHAB";
    if (name == "GB2312") return "GB2312";
    return {};
}

CDxfNameDecoder::~CDxfNameDecoder()
{
    if (m_cd) iconv_close(static_cast<iconv_t>(m_cd));
}

void CDxfNameDecoder::SetCodePage(std::string_view dwgCodePage)
{
    const std::string name = DxfIconvName(dwgCodePage);
    if (name == m_iconvName) return;
    if (m_cd) iconv_close(static_cast<iconv_t>(m_cd));
    m_cd = nullptr;
    m_openFailed = false;
    m_iconvName = name;
}

void CDxfNameDecoder::SetVersion(std::string_view acadVer)
{
    // Versions are compared as their text, "AC1021" and on.
    m_utf8 = acadVer.size() >= 6 && acadVer.substr(0, 2) == "AC" && acadVer.substr(0, 6) >= "AC1021";
}

std::string CDxfNameDecoder::Decode(std::string_view raw)
{
    if (AllAscii(raw)) return DecodeEscapes(raw);
    if (m_utf8) return IsValidUtf8(raw) ? DecodeEscapes(raw) : std::string(raw);
    std::string decoded = FromCodePage(raw);
    return decoded.empty() ? std::string(raw) : DecodeEscapes(decoded);
}

// The name decoded from the declared code page, or "" when there is none or it fails.
std::string CDxfNameDecoder::FromCodePage(std::string_view raw)
{
    if (m_iconvName.empty() || m_openFailed) return {};
    if (!m_cd) {
        const iconv_t cd = iconv_open("UTF-8", m_iconvName.c_str());
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            m_openFailed = true;
            return {};
        }
        m_cd = cd;
    }
    const iconv_t cd = static_cast<iconv_t>(m_cd);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> buffer(raw.size() * 4 + 16);
    char* in = const_cast<char*>(raw.data());
    std::size_t inLeft = raw.size();
    char* out = buffer.data();
    std::size_t outLeft = buffer.size();
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) return {};
    if (iconv(cd, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) return {};
    std::string decoded(buffer.data(), buffer.size() - outLeft);
    return IsValidUtf8(decoded) ? decoded : std::string();
}
