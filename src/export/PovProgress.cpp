// POV-Ray's console output: its status lines counted, the rest kept for messages.
#include "export/PovProgress.h"

#include "model/FileAccess.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace {

// Tokens POV-Ray reads per triangle of the mesh: "triangle { <x,y,z>, <x,y,z>, <x,y,z>
// texture { matN } }" is 30 of them.
constexpr std::uint64_t kTokensPerTriangle = 30;

// Bounds on what is kept: a status line never grows past a few dozen bytes, the transcript
// holds far more than any message needs.
constexpr std::size_t kMaxLine = 4096;
constexpr std::size_t kMaxTranscript = 256 * 1024;

bool ReadNumber(std::string_view text, std::size_t& at, std::uint64_t& value)
{
    const auto result = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (result.ec != std::errc()) return false;
    at = static_cast<std::size_t>(result.ptr - text.data());
    return true;
}

bool Skip(std::string_view text, std::size_t& at, std::string_view what)
{
    if (text.substr(at, what.size()) != what) return false;
    at += what.size();
    return true;
}

std::string_view Trimmed(std::string_view line)
{
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

}  // namespace

CPovProgress::CPovProgress(std::uint64_t triangles) : m_expectedTokens(triangles * kTokensPerTriangle) {}

void CPovProgress::Feed(std::string_view bytes)
{
    for (char c : bytes) {
        if (c == '\n' || c == '\r') {
            Line(m_partial);
            m_partial.clear();
        } else if (m_partial.size() < kMaxLine) {
            m_partial += c;
        }
    }
}

void CPovProgress::Line(std::string_view line)
{
    std::size_t at = 0;
    std::uint64_t first = 0, second = 0;
    if (Skip(line, at, "Rendered ") && ReadNumber(line, at, first) && Skip(line, at, " of ") &&
        ReadNumber(line, at, second)) {
        m_phase = PovPhase::Rendering;
        m_pixels = first;
        m_totalPixels = second;
        return;
    }
    at = 0;
    if (Skip(line, at, "Parsing ") && ReadNumber(line, at, first) && Skip(line, at, "K tokens")) {
        m_phase = PovPhase::Parsing;
        m_tokens = first * 1000;
        return;
    }
    if (line.starts_with("==== [Parsing")) m_phase = PovPhase::Parsing;
    if (line.starts_with("==== [Rendering")) m_phase = PovPhase::Rendering;
    if (line.starts_with("POV-Ray finished")) m_phase = PovPhase::Finished;
    if (m_transcript.size() + line.size() < kMaxTranscript) {
        m_transcript += line;
        m_transcript += '\n';
    }
}

double CPovProgress::PhaseFraction() const
{
    switch (m_phase) {
    case PovPhase::Starting: return 0.0;
    case PovPhase::Parsing:
        // The include files add tokens the estimate leaves out: never claim the parse is done.
        return m_expectedTokens == 0 ? 0.0 : std::min(0.99, double(m_tokens) / double(m_expectedTokens));
    case PovPhase::Rendering:
        return m_totalPixels == 0 ? 0.0 : std::min(1.0, double(m_pixels) / double(m_totalPixels));
    case PovPhase::Finished: return 1.0;
    }
    return 0.0;
}

double CPovProgress::Overall() const
{
    switch (m_phase) {
    case PovPhase::Starting: return 0.0;
    case PovPhase::Parsing: return 0.5 * PhaseFraction();
    case PovPhase::Rendering: return 0.5 + 0.5 * PhaseFraction();
    case PovPhase::Finished: return 1.0;
    }
    return 0.0;
}

std::string PovRayMessage(std::string_view output)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = output.size();
        const std::string_view line = Trimmed(output.substr(start, end - start));
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    std::size_t from = lines.size() > 5 ? lines.size() - 5 : 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find("Error") != std::string_view::npos || lines[i].find("error") != std::string_view::npos) {
            from = i;
            break;
        }
    std::string message;
    for (std::size_t i = from; i < lines.size() && i < from + 12; ++i) {
        if (!message.empty()) message += ' ';
        message += lines[i];
    }
    return message.empty() ? "no message" : message;
}

int PovMessageLine(std::string_view message)
{
    const auto file = message.find("File '");
    if (file == std::string_view::npos) return 0;
    const auto line = message.find("' line ", file);
    if (line == std::string_view::npos) return 0;
    std::size_t at = line + 7;
    std::uint64_t number = 0;
    if (!ReadNumber(message, at, number) || number > 2147483647) return 0;
    return static_cast<int>(number);
}

std::string ReadTextLine(const std::string& path, int number)
{
    CInputFile file;
    std::string error;
    if (number < 1 || !file.Open(path, error)) return {};
    CFdSource source(file.Fd());
    std::string line;
    int at = 1;
    bool ended = false;
    char block[65536];
    while (!ended) {
        const std::size_t got = source.Read(block, sizeof block);
        if (got == 0) break;
        for (std::size_t i = 0; i < got && !ended; ++i) {
            if (block[i] == '\n') {
                ended = at == number;
                ++at;
            } else if (at == number && line.size() < kMaxLine) {
                line += block[i];
            }
        }
    }
    if (!ended && at != number) return {};
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string PovRayMessageWithLine(std::string_view output, const std::string& scene)
{
    std::string message = PovRayMessage(output);
    const int number = PovMessageLine(message);
    if (number == 0) return message;
    const std::string text = ReadTextLine(scene, number);
    const std::string_view line = Trimmed(text);
    if (!line.empty()) message += "; scene line " + std::to_string(number) + ": " + std::string(line);
    return message;
}
