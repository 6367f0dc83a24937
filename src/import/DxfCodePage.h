// Layer names of a DXF file as UTF-8: decoded from the code page its header declares
// ($DWGCODEPAGE), or taken as UTF-8 in files of version AC1021 and later; \U+XXXX escapes
// become the characters they name.
#pragma once

#include <string>
#include <string_view>

// The iconv name of a $DWGCODEPAGE value ("ANSI_1251" -> "CP1251"), or "" when unknown.
std::string DxfIconvName(std::string_view dwgCodePage);

class CDxfNameDecoder {
public:
    CDxfNameDecoder() = default;
    ~CDxfNameDecoder();
    CDxfNameDecoder(const CDxfNameDecoder&) = delete;
    CDxfNameDecoder& operator=(const CDxfNameDecoder&) = delete;

    void SetCodePage(std::string_view dwgCodePage);
    void SetVersion(std::string_view acadVer);

    // The name as UTF-8. Bytes that the declared code page does not decode, or that a file
    // without a declaration holds, stay as they are: the display shows valid UTF-8 as it is
    // and decodes anything else as CP932, as for every other layer name.
    std::string Decode(std::string_view raw);

private:
    std::string FromCodePage(std::string_view raw);

    std::string m_iconvName;
    bool m_utf8 = false;  // AC1021 and later
    void* m_cd = nullptr;  // iconv_t, opened on first use
    bool m_openFailed = false;
};
