// Finding the POV-Ray executable and the "OneInstance=" edit of a Windows-style settings file.
#include "TestSupport.h"
#include "view/CameraState.h"
#include "view/PovEngine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

void MakeFile(const std::string& path, mode_t mode)
{
    WriteWholeFile(path, "#!/bin/sh\n");
    ::chmod(path.c_str(), mode);
}

}  // namespace

TEST(PovEngine, PathComesFirstThenTheFixedPlaces)
{
    CTempDir dir;
    for (const char* folder : {"a", "b", "c", "fixed"}) std::filesystem::create_directory(dir / folder);
    MakeFile(dir / "a/povray", 0644);                           // not executable
    std::filesystem::create_directory(dir / "b/povray");       // a folder
    MakeFile(dir / "c/povray", 0755);
    MakeFile(dir / "fixed/povray", 0755);
    const std::vector<std::string> fixed = {dir / "missing/povray", dir / "fixed/povray"};

    EXPECT_EQ(FindPovEngine(dir / "a" + ":" + dir / "b" + ":" + dir / "c", fixed), dir / "c/povray");
    EXPECT_EQ(FindPovEngine(dir / "a" + ":" + dir / "b", fixed), dir / "fixed/povray");
    EXPECT_EQ(FindPovEngine("", {dir / "missing/povray"}), "");
}

TEST(PovEngine, ARelativePathEntryGivesAnAbsolutePath)
{
    CTempDir dir;
    MakeFile(dir / "povray", 0755);
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const std::string found = FindPovEngine("/nonexistent::", {});
    std::filesystem::current_path(saved);
    EXPECT_EQ(std::filesystem::path(found), std::filesystem::canonical(dir.Path()) / "povray");
}

TEST(PovEngine, SettingsFileOnlyForTheWindowsLayout)
{
    EXPECT_EQ(PovSettingsFilePath("C:\\Program Files\\POV-Ray for Windows v3.1\\bin\\pvengine.exe"),
              "C:\\Program Files\\POV-Ray for Windows v3.1\\ini\\PVENGINE.INI");
    EXPECT_EQ(PovSettingsFilePath("/usr/bin/povray"), "");
    EXPECT_EQ(PovSettingsFilePath("/opt/bin/pvengine.exe"), "");
}

TEST(PovEngine, OneInstanceEdit)
{
    const struct {
        const char* what;
        std::string before, after;
        OneInstanceEdit result;
    } cases[] = {
        {"value 0 becomes 1", "[General]\r\nOneInstance=0\r\nX=0\r\n", "[General]\r\nOneInstance=1\r\nX=0\r\n",
         OneInstanceEdit::Set},
        {"key at the very end", "[General]\nOneInstance=", "[General]\nOneInstance=1", OneInstanceEdit::Set},
        {"only the first key, one byte", "OneInstance=25\nOneInstance=0", "OneInstance=15\nOneInstance=0",
         OneInstanceEdit::Set},
        {"no key", "[General]\nTwoInstance=0\n", "[General]\nTwoInstance=0\n", OneInstanceEdit::NoKey},
        {"case matters", "oneinstance=0\n", "oneinstance=0\n", OneInstanceEdit::NoKey},
        {"0xFF ends the scan", "A=\xFF\nOneInstance=0\n", "A=\xFF\nOneInstance=0\n", OneInstanceEdit::NoKey},
        {"0xFF after the key is replaced", "OneInstance=\xFF", "OneInstance=1", OneInstanceEdit::Set},
        {"empty file", "", "", OneInstanceEdit::NoKey},
    };
    CTempDir dir;
    for (const auto& c : cases) {
        const std::string path = dir / "PVENGINE.INI";
        WriteWholeFile(path, c.before);
        EXPECT_EQ(SetOneInstance(path), c.result) << c.what;
        EXPECT_EQ(ReadWholeFile(path), c.after) << c.what;
    }
    EXPECT_EQ(SetOneInstance(dir / "none.ini"), OneInstanceEdit::NotOpened);
    EXPECT_FALSE(std::filesystem::exists(dir / "none.ini"));
}

TEST(PovEngine, StartUpSearchSetsTheGlobal)
{
    g_povEnginePath = "stale";
    LookForPovEngine();
    if (!g_povEnginePath.empty()) {
        EXPECT_EQ(g_povEnginePath.front(), '/');
        EXPECT_EQ(std::filesystem::path(g_povEnginePath).filename(), "povray");
    }
    EXPECT_NE(g_povEnginePath, "stale");
}
