// Writes a large DXF text file of polyface meshes for the full import's benchmark: MESHES
// POLYLINE polyface meshes of 32 x 32 quads each (1,089 vertices, 1,024 face records), on 20
// layers, codes right-aligned to three characters, six decimals.
// usage: make_big_polyface OUT.dxf [MESHES=1000]
#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_big_polyface OUT.dxf [MESHES]\n");
        return 2;
    }
    const long meshes = argc > 2 ? std::atol(argv[2]) : 1000;
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::setvbuf(out, nullptr, _IOFBF, 1 << 20);
    constexpr int kQuads = 32, kSide = kQuads + 1;
    std::fputs("  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n", out);
    std::fputs("  0\nSECTION\n  2\nENTITIES\n", out);
    for (long m = 0; m < meshes; ++m) {
        // A wavy patch of 3.2 m square, the patches 4 m apart on a grid.
        const double ox = double(m % 32) * 4000.0, oy = double(m / 32) * 4000.0;
        std::fprintf(out, "  0\nPOLYLINE\n  8\nLAYER_%02ld\n 66\n     1\n 10\n0.0\n 20\n0.0\n 30\n0.0\n"
                          " 70\n    64\n 71\n%6d\n 72\n%6d\n", m % 20, kSide * kSide, kQuads * kQuads);
        for (int i = 0; i < kSide; ++i)
            for (int j = 0; j < kSide; ++j) {
                const double x = ox + i * 100.0, y = oy + j * 100.0;
                const double z = 500.0 * std::sin(x * 0.001 + m) * std::cos(y * 0.0013);
                std::fprintf(out, "  0\nVERTEX\n  8\nLAYER_%02ld\n 10\n%.6f\n 20\n%.6f\n 30\n%.6f\n 70\n   192\n", m % 20,
                             x, y, z);
            }
        for (int i = 0; i < kQuads; ++i)
            for (int j = 0; j < kQuads; ++j) {
                const int a = i * kSide + j + 1;
                std::fprintf(out,
                             "  0\nVERTEX\n  8\nLAYER_%02ld\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 70\n   128\n"
                             " 71\n%6d\n 72\n%6d\n 73\n%6d\n 74\n%6d\n",
                             m % 20, a, a + 1, a + kSide + 1, a + kSide);
            }
        std::fputs("  0\nSEQEND\n  8\n0\n", out);
    }
    std::fputs("  0\nENDSEC\n  0\nEOF\n", out);
    return std::fclose(out) == 0 ? 0 : 1;
}
