// Following POV-Ray's console output: phases and fractions from its status lines however the
// bytes arrive, and its own message when it fails.
#include "TestSupport.h"
#include "export/PovProgress.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// POV-Ray 3.7's stderr, shortened: status lines end in a carriage return, the rest in a newline.
const std::string kBanner = "Persistence of Vision(tm) Ray Tracer Version 3.7.0.10.unofficial\n"
                            "==== [Parsing...] ==========================================\n";
const std::string kParsing = "Parsing 1500K tokens\rParsing 3000K tokens\r";
const std::string kWarning = "Parse Warning: assumed_gamma not specified\n";
const std::string kRendering = "==== [Rendering...] ========================================\n"
                               "Rendered 1024 of 4096 pixels (25%)\rRendered 3072 of 4096 pixels (75%)\r";
const std::string kEnd = "\nRender Time:\nPOV-Ray finished\n";

}  // namespace

TEST(PovProgress, StatusLinesGivePhaseAndFractionInPiecesOfAnySize)
{
    const struct {
        const std::string* text;
        PovPhase phase;
        double phaseFraction;
        double overall;
    } steps[] = {
        {&kBanner, PovPhase::Parsing, 0.0, 0.0},
        {&kParsing, PovPhase::Parsing, 0.75, 0.375},  // 3,000,000 of 30 tokens × 133,334 triangles
        {&kWarning, PovPhase::Parsing, 0.75, 0.375},
        {&kRendering, PovPhase::Rendering, 0.75, 0.875},
        {&kEnd, PovPhase::Finished, 1.0, 1.0},
    };
    for (std::size_t piece : {std::size_t(1), std::size_t(7), std::string::npos}) {
        SCOPED_TRACE(piece);
        CPovProgress progress(133334);
        EXPECT_EQ(progress.Phase(), PovPhase::Starting);
        for (const auto& step : steps) {
            for (std::size_t at = 0; at < step.text->size(); at += std::min(piece, step.text->size()))
                progress.Feed(step.text->substr(at, piece));
            EXPECT_EQ(progress.Phase(), step.phase) << *step.text;
            EXPECT_NEAR(progress.PhaseFraction(), step.phaseFraction, 1e-4) << *step.text;
            EXPECT_NEAR(progress.Overall(), step.overall, 1e-4) << *step.text;
        }
        EXPECT_EQ(progress.Transcript().find("Rendered"), std::string::npos);
        EXPECT_EQ(progress.Transcript().find("tokens"), std::string::npos);
        EXPECT_NE(progress.Transcript().find("assumed_gamma"), std::string::npos);
    }
    // Without a triangle count the parse never claims progress, and never more than 99 %.
    CPovProgress unknown;
    unknown.Feed(kBanner + kParsing);
    EXPECT_EQ(unknown.PhaseFraction(), 0.0);
    CPovProgress small(10);
    small.Feed(kBanner + kParsing);
    EXPECT_EQ(small.PhaseFraction(), 0.99);
}

TEST(PovProgress, TheMessageIsPovRaysOwnFromItsFirstErrorWithTheSceneLine)
{
    const std::string failed = kBanner +
                               "File 'TEMP.pov' line 31: Parse Warning: Pigment type unspecified\n"
                               "File 'TEMP.pov' line 31: Parse Error: No matching } in 'pigment', undeclared\r\n"
                               " identifier 'colr' found instead\n"
                               "Fatal error in parser: Cannot parse input.\nRender failed\n";
    const std::string message = PovRayMessage(failed);
    EXPECT_EQ(message, "File 'TEMP.pov' line 31: Parse Error: No matching } in 'pigment', undeclared identifier "
                       "'colr' found instead Fatal error in parser: Cannot parse input. Render failed");
    EXPECT_EQ(PovMessageLine(message), 31);
    EXPECT_EQ(PovRayMessage("one\ntwo\n"), "one two") << "no error line: the last lines";
    EXPECT_EQ(PovRayMessage(" \n\r\n"), "no message");
    EXPECT_EQ(PovMessageLine("Fatal error in parser"), 0);
    EXPECT_EQ(PovMessageLine("File 'a.pov' line 99999999999: x"), 0);

    CTempDir dir;
    const std::string scene = dir / "TEMP.pov";
    WriteWholeFile(scene, std::string(30, '\n') + "  pigment { colr Red }\r\nlast");
    EXPECT_EQ(PovRayMessageWithLine(failed, scene), message + "; scene line 31: pigment { colr Red }")
        << "the line as POV-Ray reads it, without its blanks";
    EXPECT_EQ(ReadTextLine(scene, 32), "last");
    EXPECT_EQ(ReadTextLine(scene, 33), "");
    EXPECT_EQ(ReadTextLine(scene, 0), "");
    EXPECT_EQ(PovRayMessageWithLine(failed, dir / "gone.pov"), message);
}
