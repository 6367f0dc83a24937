// Runs every file under the given folders once through one fuzz target's checks, without
// libFuzzer: the seed corpus and the saved reproducers stay passing in the ordinary test suite.
// A broken invariant aborts; the last "replay:" line names the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        using CWalk = std::filesystem::recursive_directory_iterator;
        for (CWalk it(argv[i], ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file()) files.push_back(it->path());
        if (ec) {
            std::fprintf(stderr, "replay: %s: %s\n", argv[i], ec.message().c_str());
            return 1;
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& path : files) {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "replay: %s\n", path.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu files passed\n", files.size());
    return files.empty() ? 1 : 0;
}
