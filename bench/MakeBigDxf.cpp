// Writes a large DXF text file for the import benchmark: N 3DFACE entities on 20 layers, with
// codes right-aligned to three characters and coordinates with six decimals, as CAD programs
// write them. usage: make_big_dxf OUT.dxf [FACES=1000000]
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_big_dxf OUT.dxf [FACES]\n");
        return 2;
    }
    const long faces = argc > 2 ? std::atol(argv[2]) : 1000000;
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::setvbuf(out, nullptr, _IOFBF, 1 << 20);
    std::fputs("  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n", out);
    std::fputs("  0\nSECTION\n  2\nENTITIES\n", out);
    std::mt19937_64 random(2024);
    std::uniform_real_distribution<double> position(-50000.0, 50000.0);
    std::uniform_real_distribution<double> size(5.0, 800.0);
    std::uniform_real_distribution<double> height(0.0, 30000.0);
    for (long i = 0; i < faces; ++i) {
        const double x = position(random), y = position(random), z = height(random);
        const double w = size(random), d = size(random), h = size(random);
        // A wall-like quad: first edge along X, then up.
        const double px[4] = {x, x + w, x + w, x};
        const double py[4] = {y, y + d, y + d, y};
        const double pz[4] = {z, z, z + h, z + h};
        std::fprintf(out, "  0\n3DFACE\n  8\nLAYER_%02ld\n 62\n%6ld\n", i % 20, 1 + i % 7);
        for (int k = 0; k < 4; ++k)
            std::fprintf(out, " 1%d\n%.6f\n 2%d\n%.6f\n 3%d\n%.6f\n", k, px[k], k, py[k], k, pz[k]);
    }
    std::fputs("  0\nENDSEC\n  0\nEOF\n", out);
    return std::fclose(out) == 0 ? 0 : 1;
}
