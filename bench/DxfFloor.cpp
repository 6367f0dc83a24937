// The floor of DXF import: reads a file in 1 MiB blocks and finds its lines without converting
// anything. usage: dxf_floor FILE (prints the number of lines)
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    const int fd = ::open(argv[1], O_RDONLY);
    if (fd < 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<char> block(1 << 20);
    unsigned long long lines = 0, bytes = 0, longest = 0, current = 0;
    ssize_t got;
    while ((got = ::read(fd, block.data(), block.size())) > 0) {
        const char* p = block.data();
        const char* end = p + got;
        while (const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p))) {
            current += lf - p;
            if (current > longest) longest = current;
            current = 0;
            ++lines;
            p = lf + 1;
        }
        current += end - p;
        bytes += got;
    }
    ::close(fd);
    std::printf("%llu lines, %llu bytes, longest %llu\n", lines, bytes, longest);
    return 0;
}
