// Checks of rendered pictures (8-bit RGB or RGBA PNG without interlacing):
//   png-check FILE WIDTH HEIGHT [COLOURS]: that size, at least COLOURS colours (default 3: not
//     just sky and ground), the blue sky of make-pov-models' model at the top row and its green
//     ground at the bottom row;
//   png-check same A B MAX: the same size, and at most MAX pixels differ clearly;
//   png-check shadow-side FILE: prints west or east, the side of the red box its shadow lies on
//     in a plan seen from above with north up (the shadow: ground pixels clearly darker than
//     the lit ground).
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

int Fail(const std::string& why)
{
    std::fprintf(stderr, "png-check: %s\n", why.c_str());
    return 1;
}

uint32_t BigEndian32(const unsigned char* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

int Paeth(int a, int b, int c)
{
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

struct CPicture {
    uint32_t width = 0, height = 0, channels = 0;
    std::vector<unsigned char> pixels;  // rows top to bottom, `channels` bytes per pixel
    const unsigned char* At(uint32_t x, uint32_t y) const { return &pixels[(size_t(y) * width + x) * channels]; }
};

bool Decode(const std::string& bytes, CPicture& picture, std::string& error)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() < 8 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return error = "not a PNG file", false;
    std::vector<unsigned char> compressed;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t length = BigEndian32(data + at);
        if (at + 12 + length > bytes.size()) return error = "a chunk runs past the end", false;
        const std::string type = bytes.substr(at + 4, 4);
        const unsigned char* body = data + at + 8;
        if (type == "IHDR") {
            picture.width = BigEndian32(body);
            picture.height = BigEndian32(body + 4);
            if (body[8] != 8 || (body[9] != 2 && body[9] != 6) || body[12] != 0)
                return error = "only 8-bit RGB or RGBA without interlacing is read", false;
            picture.channels = body[9] == 2 ? 3 : 4;
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), body, body + length);
        }
        at += 12 + length;
    }
    if (picture.channels == 0) return error = "no IHDR chunk", false;
    const size_t stride = size_t(picture.width) * picture.channels;
    std::vector<unsigned char> raw((stride + 1) * picture.height);
    uLongf rawSize = raw.size();
    if (uncompress(raw.data(), &rawSize, compressed.data(), compressed.size()) != Z_OK || rawSize != raw.size())
        return error = "the image data does not inflate to the picture size", false;
    picture.pixels.resize(stride * picture.height);
    const int bpp = int(picture.channels);
    for (uint32_t y = 0; y < picture.height; ++y) {
        const unsigned char filter = raw[y * (stride + 1)];
        const unsigned char* in = &raw[y * (stride + 1) + 1];
        unsigned char* row = &picture.pixels[y * stride];
        const unsigned char* up = y ? row - stride : nullptr;
        for (size_t x = 0; x < stride; ++x) {
            const int a = x >= size_t(bpp) ? row[x - bpp] : 0, b = up ? up[x] : 0;
            const int c = up && x >= size_t(bpp) ? up[x - bpp] : 0;
            const int predictor[] = {0, a, b, (a + b) / 2, Paeth(a, b, c)};
            if (filter > 4) return error = "unknown row filter", false;
            row[x] = static_cast<unsigned char>(in[x] + predictor[filter]);
        }
    }
    return true;
}

// Share of a row's pixels in which channel `strong` exceeds both others by a wide margin.
double Dominance(const CPicture& picture, uint32_t y, int strong)
{
    uint32_t count = 0;
    for (uint32_t x = 0; x < picture.width; ++x) {
        const unsigned char* p = picture.At(x, y);
        if (p[strong] >= 128 && p[strong] > p[(strong + 1) % 3] + 100 && p[strong] > p[(strong + 2) % 3] + 100)
            ++count;
    }
    return double(count) / picture.width;
}

bool Load(const char* path, CPicture& picture, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return error = std::string("cannot open ") + path, false;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return Decode(bytes, picture, error);
}

int Same(const CPicture& a, const CPicture& b, long maxDiffering)
{
    if (a.width != b.width || a.height != b.height) return Fail("the pictures differ in size");
    long differing = 0;
    for (uint32_t y = 0; y < a.height; ++y)
        for (uint32_t x = 0; x < a.width; ++x)
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(a.At(x, y)[c]) - int(b.At(x, y)[c])) > 24) {
                    ++differing;
                    break;
                }
    std::printf("%ld pixels differ\n", differing);
    return differing <= maxDiffering ? 0 : Fail("more than " + std::to_string(maxDiffering) + " pixels differ");
}

int ShadowSide(const CPicture& picture)
{
    auto grey = [](const unsigned char* p) { return std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) < 30; };
    int lit = 0;
    for (uint32_t y = 0; y < picture.height; ++y)
        for (uint32_t x = 0; x < picture.width; ++x)
            if (grey(picture.At(x, y))) lit = std::max<int>(lit, picture.At(x, y)[1]);
    double boxX = 0, shadowX = 0;
    long box = 0, shadow = 0;
    for (uint32_t y = 0; y < picture.height; ++y)
        for (uint32_t x = 0; x < picture.width; ++x) {
            const unsigned char* p = picture.At(x, y);
            if (p[0] > p[1] + 80 && p[0] > p[2] + 80) {
                boxX += x;
                ++box;
            } else if (grey(p) && p[1] < lit - 30) {
                shadowX += x;
                ++shadow;
            }
        }
    if (box == 0) return Fail("no red box in the picture");
    if (shadow == 0) return Fail("no shadow in the picture");
    std::printf("%s\n", shadowX / shadow < boxX / box ? "west" : "east");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    CPicture picture, other;
    std::string error;
    if (mode == "same" && argc == 5) {
        if (!Load(argv[2], picture, error) || !Load(argv[3], other, error)) return Fail(error);
        return Same(picture, other, std::atol(argv[4]));
    }
    if (mode == "shadow-side" && argc == 3) {
        if (!Load(argv[2], picture, error)) return Fail(error);
        return ShadowSide(picture);
    }
    if (argc != 4 && argc != 5)
        return Fail("usage: png-check FILE WIDTH HEIGHT [COLOURS] | same A B MAX | shadow-side FILE");
    const std::size_t minColours = argc == 5 ? std::size_t(std::atoi(argv[4])) : 3;
    if (!Load(argv[1], picture, error)) return Fail(error);
    const uint32_t width = uint32_t(std::atoi(argv[2])), height = uint32_t(std::atoi(argv[3]));
    if (picture.width != width || picture.height != height)
        return Fail("size " + std::to_string(picture.width) + "x" + std::to_string(picture.height) + ", expected " +
                    argv[2] + "x" + argv[3]);
    std::set<uint32_t> colours;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = picture.At(x, y);
            colours.insert(uint32_t(p[0]) << 16 | p[1] << 8 | p[2]);
        }
    if (colours.size() < minColours) return Fail("blank picture: " + std::to_string(colours.size()) + " colour(s)");
    const double sky = Dominance(picture, 0, 2), ground = Dominance(picture, height - 1, 1);
    if (sky < 0.9) return Fail("the top row is not sky blue (" + std::to_string(sky) + ")");
    if (ground < 0.9) return Fail("the bottom row is not ground green (" + std::to_string(ground) + ")");
    std::printf("%ux%u, %zu colours, sky %.2f, ground %.2f\n", width, height, colours.size(), sky, ground);
    return 0;
}
