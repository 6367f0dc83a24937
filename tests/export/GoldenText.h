// Comparing writer output with expected files under tests/golden: a unified diff on a
// difference, and UPDATE_GOLDEN=1 rewrites the expected file instead.
#pragma once

#include "TestSupport.h"
#include "export/ProcessRunner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

inline std::string GoldenPath(const std::string& name) { return std::string(VORLA_TEST_GOLDEN) + "/" + name; }

inline void ExpectSameAsGolden(const std::string& name, const std::string& actual)
{
    const std::string golden = GoldenPath(name);
    const char* update = std::getenv("UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        WriteWholeFile(golden, actual);
        EXPECT_EQ(ReadWholeFile(golden), actual) << "cannot rewrite " << golden;
        return;
    }
    if (ReadWholeFile(golden) == actual) return;
    CTempDir dir;
    WriteWholeFile(dir / "actual", actual);
    const CProcessResult diff = RunProcess({"diff", "-u", golden, dir / "actual"}, "");
    ADD_FAILURE() << "output differs from " << golden << " (UPDATE_GOLDEN=1 rewrites it):\n" << diff.output;
}
