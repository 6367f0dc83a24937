// POV-Ray's options for a render, and running an outside program without a shell.
#include "TestSupport.h"
#include "export/PovRender.h"
#include "export/ProcessRunner.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(PovRender, OptionsNameTheSceneFileAndTruncateTheSize)
{
    using Options = std::vector<std::string>;
    EXPECT_EQ(BuildPovRenderOptions(641.9, 480.99, false), (Options{"+ITEMP.pov", "+W641", "+H480", "+MV3.1"}));
    EXPECT_EQ(BuildPovRenderOptions(64, 48, true), (Options{"+ITEMP.pov", "+W64", "+H48", "+MV3.1", "-D"}));
    EXPECT_EQ(std::string(kRenderSceneFile), "TEMP.pov");
}

TEST(PovRender, PixelTruncationIsTowardZeroAndStaysInRange)
{
    const struct {
        double size;
        int pixels;
    } cases[] = {{641.9, 641}, {0.99, 0}, {-0.5, 0}, {-2.5, -2}, {1e12, INT_MAX}, {-1e12, INT_MIN}, {NAN, 0}};
    for (const auto& c : cases) EXPECT_EQ(TruncatePixels(c.size), c.pixels) << c.size;
}

TEST(ProcessRunner, CollectsOutputAndExitStatus)
{
    const CProcessResult run = RunProcess({"sh", "-c", "echo out; echo err >&2; exit 3"}, "");
    ASSERT_TRUE(run.started) << run.error;
    EXPECT_EQ(run.exitStatus, 3);
    EXPECT_EQ(run.output, "out\nerr\n");
    EXPECT_TRUE(run.error.empty());
}

TEST(ProcessRunner, ArgumentsReachTheProgramUntouchedByAnyShell)
{
    const CProcessResult run = RunProcess({"printf", "%s|%s|%s", "a b", "$HOME;*", "'\""}, "");
    ASSERT_TRUE(run.started) << run.error;
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "a b|$HOME;*|'\"");
}

TEST(ProcessRunner, RunsInTheGivenFolderWithNoInput)
{
    CTempDir dir;
    const CProcessResult run = RunProcess({"sh", "-c", "pwd -P; cat"}, dir.Path().string());
    ASSERT_TRUE(run.started) << run.error;
    EXPECT_EQ(run.output, std::filesystem::canonical(dir.Path()).string() + "\n");
}

TEST(ProcessRunner, ReportsAProgramThatCannotStartOrIsKilled)
{
    const CProcessResult missing = RunProcess({"/nonexistent/povray", "+Ix.pov"}, "");
    EXPECT_FALSE(missing.started);
    EXPECT_NE(missing.error.find("cannot start /nonexistent/povray"), std::string::npos) << missing.error;

    const CProcessResult killed = RunProcess({"sh", "-c", "kill -9 $$"}, "");
    ASSERT_TRUE(killed.started);
    EXPECT_EQ(killed.exitStatus, -1);
    EXPECT_NE(killed.error.find("signal 9"), std::string::npos) << killed.error;
}
