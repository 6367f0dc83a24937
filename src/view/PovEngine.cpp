// The POV-Ray engine search and the "OneInstance=" edit of its settings file.
#include "view/PovEngine.h"

#include "view/CameraState.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kWindowsEngineTail = "bin\\pvengine.exe";
constexpr std::string_view kWindowsSettingsTail = "ini\\PVENGINE.INI";
constexpr char kOneInstanceKey[] = "OneInstance=";
constexpr std::size_t kKeyLength = sizeof kOneInstanceKey - 1;

bool IsExecutableFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindPovEngine(std::string_view pathVariable, const std::vector<std::string>& fixedPaths)
{
    std::size_t start = 0;
    while (start <= pathVariable.size()) {
        std::size_t end = pathVariable.find(':', start);
        if (end == std::string_view::npos) end = pathVariable.size();
        // An empty entry is the current folder.
        std::string candidate(end == start ? std::string_view(".") : pathVariable.substr(start, end - start));
        if (candidate.back() != '/') candidate += '/';
        candidate += "povray";
        if (!pathVariable.empty() && IsExecutableFile(candidate)) {
            // Made absolute: the engine may be started in another working folder.
            std::error_code ec;
            const std::filesystem::path absolute = std::filesystem::absolute(candidate, ec);
            return ec ? candidate : absolute.lexically_normal().string();
        }
        start = end + 1;
    }
    for (const std::string& path : fixedPaths)
        if (IsExecutableFile(path)) return path;
    return {};
}

std::string PovSettingsFilePath(std::string_view enginePath)
{
    const auto at = enginePath.find(kWindowsEngineTail);
    if (at == std::string_view::npos) return {};
    std::string path(enginePath.substr(0, at));
    path.append(kWindowsSettingsTail).append(enginePath.substr(at + kWindowsEngineTail.size()));
    return path;
}

OneInstanceEdit SetOneInstance(const std::string& settingsPath)
{
    std::FILE* file = std::fopen(settingsPath.c_str(), "r+b");
    if (!file) return OneInstanceEdit::NotOpened;
    char window[kKeyLength] = {};  // the last bytes read, oldest first
    std::size_t filled = 0;
    OneInstanceEdit result = OneInstanceEdit::NoKey;
    for (int c; (c = std::fgetc(file)) != EOF && c != 0xFF;) {
        if (filled == kKeyLength) {
            std::memmove(window, window + 1, kKeyLength - 1);
            --filled;
        }
        window[filled++] = static_cast<char>(c);
        if (filled == kKeyLength && std::memcmp(window, kOneInstanceKey, kKeyLength) == 0) {
            // A stream switching from reading to writing must be positioned first.
            std::fseek(file, 0, SEEK_CUR);
            std::fputc('1', file);
            result = OneInstanceEdit::Set;
            break;
        }
    }
    std::fclose(file);
    return result;
}

void LookForPovEngine()
{
    const char* path = std::getenv("PATH");
    g_povEnginePath = FindPovEngine(path ? path : "", kPovEngineFixedPaths);
    const std::string settings = PovSettingsFilePath(g_povEnginePath);
    if (!settings.empty()) SetOneInstance(settings);
}
