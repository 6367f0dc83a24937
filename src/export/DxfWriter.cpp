// DXF export text: comment, HEADER with fixed extents, TABLES with one line type and one text
// style, ENTITIES with one 3DFACE per face, EOF. Every line ends in a single line feed.
#include "export/DxfWriter.h"

#include "export/NumberText.h"

namespace {

constexpr std::string_view kHead =
    "999\nCreated by vorla_lt\n"
    "0\nSECTION\n2\nHEADER\n"
    "9\n$EXTMIN\n10\n -100000\n20\n -100000\n"
    "9\n$EXTMAX\n10\n 100000\n20\n 100000\n"
    "9\n$LTSCALE\n40\n18.0\n"
    "0\nENDSEC\n"
    "0\nSECTION\n2\nTABLES\n"
    "0\nTABLE\n2\nLTYPE\n70\n1\n"
    "0\nLTYPE\n2\nDASHED2\n70\n64\n3\n----    ----    ----    ----\n72\n65\n73\n2\n40\n5.0\n49\n2.5\n49\n-2.5\n"
    "0\nENDTAB\n"
    "0\nTABLE\n2\nSTYLE\n70\n1\n"
    "0\nSTYLE\n2\nSTANDARD\n70\n64\n40\n0.0\n41\n1.0\n42\n0.0\n50\n0.0\n71\n0\n3\nTXT\n4\nBIGFONT\n"
    "0\nENDTAB\n"
    "0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n";

constexpr std::string_view kTail = "0\nENDSEC\n0\nEOF\n";

// Line type 0 and colour 7 on every face.
constexpr std::string_view kAfterLayer = "\n6\n0\n62\n7\n";

// Group codes of the twelve coordinates, corner by corner.
constexpr char kCodes[4][3][3] = {{"10", "20", "30"}, {"11", "21", "31"}, {"12", "22", "32"}, {"13", "23", "33"}};

// Room for the twelve coordinate lines of the longest numbers.
constexpr std::size_t kCornerTextMax = 12 * (3 + kMaxFixed6Length + 1);

}  // namespace

bool WriteDxf(CByteSink& sink, const CShapeList& shapes)
{
    CBufferedWriter out(sink);
    out.Put(kHead);
    for (const CShape& shape : shapes) {
        out.Put("0\n3DFACE\n8\n");
        out.Put(shape.m_layer);
        out.Put(kAfterLayer);
        char* const start = out.Reserve(kCornerTextMax);
        char* p = start;
        for (int k = 0; k < 4; ++k) {
            const float* v = shape.m_vertex[k];
            const double dxf[3] = {double(v[0]), -double(v[2]), double(v[1])};
            for (int a = 0; a < 3; ++a) {
                p[0] = kCodes[k][a][0];
                p[1] = kCodes[k][a][1];
                p[2] = '\n';
                p = FormatFixed6(p + 3, dxf[a]);
                *p++ = '\n';
            }
        }
        out.Commit(static_cast<std::size_t>(p - start));
    }
    out.Put(kTail);
    return out.Flush();
}

bool IsDxfExportPath(std::string_view path)
{
    return path.find(".dxf") != std::string_view::npos || path.find(".DXF") != std::string_view::npos;
}
