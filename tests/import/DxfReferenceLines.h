// The lines a text-mode stream read with fgets and a 256-byte buffer gives, cut one character at
// a time: CR LF becomes LF, then lines of at most 255 characters, each with whether its LF ended
// it. The line reader's tests and the DXF fuzz target compare CDxfLineReader against this.
#pragma once

#include "import/DxfLineReader.h"

#include <string>
#include <string_view>
#include <vector>

struct CReferenceLine {
    std::string text;
    bool newline;
    bool operator==(const CReferenceLine&) const = default;
};

inline std::vector<CReferenceLine> ReferenceLines(std::string_view bytes)
{
    std::string stream;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) stream += bytes[i];
    std::vector<CReferenceLine> lines;
    std::size_t i = 0;
    while (i < stream.size()) {
        CReferenceLine line{{}, false};
        while (i < stream.size() && line.text.size() < CDxfLineReader::kMaxLine) {
            const char c = stream[i++];
            if (c == '\n') {
                line.newline = true;
                break;
            }
            line.text += c;
        }
        lines.push_back(line);
    }
    return lines;
}
