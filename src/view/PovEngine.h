// Finding the POV-Ray executable at start-up, and the one edit made to the settings file of a
// Windows-style installation ("...\bin\pvengine.exe" with its "...\ini\PVENGINE.INI").
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The places looked at after PATH, in order.
inline const std::vector<std::string> kPovEngineFixedPaths = {"/usr/bin/povray", "/usr/local/bin/povray"};

// The first executable regular file named `povray` in the folders of `pathVariable` (a
// colon-separated list as in PATH; an empty entry is the current folder), made absolute, else
// the first executable one of `fixedPaths`, else "".
std::string FindPovEngine(std::string_view pathVariable, const std::vector<std::string>& fixedPaths);

// The settings file of an engine path of the form "...bin\pvengine.exe": that text replaced by
// "ini\PVENGINE.INI". Empty for any other path.
std::string PovSettingsFilePath(std::string_view enginePath);

enum class OneInstanceEdit { Set, NoKey, NotOpened };

// Sets the first character after the first "OneInstance=" of the file to '1' (appending it
// when the key ends the file). The scan stops at the end of the file or at a 0xFF byte. A file
// without the key is left unchanged; one that cannot be opened is skipped.
OneInstanceEdit SetOneInstance(const std::string& settingsPath);

// The start-up search: sets g_povEnginePath from PATH and the fixed places, and makes the
// settings-file edit when the path has the Windows form. Reports nothing.
void LookForPovEngine();
