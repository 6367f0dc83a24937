// Following a POV-Ray run from its console output: which phase it is in, how far it is, and
// POV-Ray's own account of a failure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class PovPhase { Starting, Parsing, Rendering, Finished };

// Reads POV-Ray's stderr as it arrives, in pieces of any size. POV-Ray announces its phases
// ("==== [Parsing...] ===", "==== [Rendering...] ===") and, on lines ended by a carriage return,
// "Parsing 1763K tokens" and "Rendered 1024 of 76800 pixels (1%)".
class CPovProgress {
public:
    // `triangles`: the triangles of the scene's mesh, which make nearly all of its tokens.
    explicit CPovProgress(std::uint64_t triangles = 0);

    void Feed(std::string_view bytes);

    PovPhase Phase() const { return m_phase; }
    // How far the current phase is, 0 to 1. The parse is estimated from the tokens read.
    double PhaseFraction() const;
    // The whole run, 0 to 1: the parse counts as the first half, the tracing as the second.
    double Overall() const;
    // What POV-Ray wrote, without its progress lines, up to a bound (for messages).
    const std::string& Transcript() const { return m_transcript; }

private:
    void Line(std::string_view line);

    std::uint64_t m_expectedTokens;
    std::uint64_t m_tokens = 0;
    std::uint64_t m_pixels = 0, m_totalPixels = 0;
    PovPhase m_phase = PovPhase::Starting;
    std::string m_partial;  // the line being received
    std::string m_transcript;
};

// POV-Ray's own account of a failure from its output: from its first error line on, joined
// into one line; without one, its last lines. "no message" when it wrote nothing.
std::string PovRayMessage(std::string_view output);

// The scene line a POV-Ray message names ("File 'TEMP.pov' line 31: Parse Error: ..."), 0 when
// it names none.
int PovMessageLine(std::string_view message);

// Line `number` (from 1) of a text file, without its line end, read up to that line only; empty
// when there is no such line or the file cannot be read.
std::string ReadTextLine(const std::string& path, int number);

// POV-Ray's message for a failed run, followed by "; scene line N: TEXT" when it names a line of
// `scene`, the file it was rendering.
std::string PovRayMessageWithLine(std::string_view output, const std::string& scene);
