// DXF import never stores a corner that is not a finite float: faces whose corners overflow
// the float range, directly or through the LINE and SOLID arithmetic, are dropped and counted,
// and they do not shift the centring of the others. Memory follows the faces, not the names.
#include "import/DxfReader.h"

#include "model/LayerTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

std::string Entities(const std::string& body)
{
    return "0\nSECTION\n2\nENTITIES\n" + body + "0\nENDSEC\n0\nEOF\n";
}

CDxfImportStats Import(const std::string& text, CMyvorla_ltDoc& doc)
{
    CMemorySource source(text);
    return ImportDxf(source, doc, {}, text.size());
}

// A 3DFACE from (0, 0, 0) to (10, 0, 0) whose third and fourth corners are given as text.
std::string Face(const std::string& x3, const std::string& y4)
{
    // The first edge is 10 long.
    return std::string("0\n3DFACE\n10\n0\n20\n0\n30\n0\n11\n10\n21\n0\n31\n0\n") + "12\n" + x3 + "\n22\n10\n32\n0\n13\n0\n23\n" + y4 + "\n33\n0\n";
}

}  // namespace

TEST(DxfLimits, FacesWithCornersBeyondTheFloatRangeAreDropped)
{
    struct CCase {
        const char* what;
        std::string entity;
        bool kept;
    };
    const CCase cases[] = {
        {"largest float", Face("3.4028234663852886e38", "10"), true},
        {"smallest float", Face("-3.4028234663852886e38", "-1e-45"), true},
        {"just beyond the float range", Face("3.4028236e38", "10"), false},
        {"finite double beyond float", Face("1e39", "10"), false},
        {"beyond double", Face("10", "-1e999"), false},
        {"infinity", Face("10", "-inf"), false},
        {"not a number past the first edge", Face("nan", "10"), false},
        // Thickness times extrusion: 1e30 x 1e30.
        {"LINE offset overflows",
         "0\nLINE\n10\n0\n20\n0\n30\n0\n11\n10\n21\n0\n31\n0\n39\n1e30\n210\n0\n220\n0\n230\n1e30\n", false},
        {"LINE with a thickness that is not a number",
         "0\nLINE\n10\n0\n20\n0\n30\n0\n11\n10\n21\n0\n31\n0\n39\nnan\n", false},
        // N = (0, 0, 1e-5) gives D = 1e-10: the corners are divided by it.
        {"SOLID transform overflows",
         "0\nSOLID\n10\n0\n20\n0\n30\n0\n11\n1e29\n21\n0\n31\n0\n12\n0\n22\n5\n13\n5\n23\n5\n"
         "210\n0\n220\n0\n230\n1e-5\n",
         false},
    };
    for (const CCase& c : cases) {
        CMyvorla_ltDoc doc;
        const CDxfImportStats stats = Import(Entities(c.entity), doc);
        EXPECT_EQ(stats.facesImported, c.kept ? 1u : 0u) << c.what;
        EXPECT_EQ(stats.facesOutOfRange, c.kept ? 0u : 1u) << c.what;
        for (const CShape& shape : doc.m_shapeList)
            for (int k = 0; k < 4; ++k)
                for (int a = 0; a < 3; ++a) {
                    EXPECT_TRUE(std::isfinite(shape.m_vertex[k][a])) << c.what;
                    EXPECT_TRUE(std::isfinite(shape.m_normal[k][a])) << c.what;
                }
    }
}

TEST(DxfLimits, ADroppedFaceDoesNotShiftTheOthers)
{
    // Before, an infinite corner entered the centring box and moved every other face to
    // infinity; a corner of 1e300 (finite as a double) did the same through the float cast.
    for (const char* far : {"1e999", "1e300"}) {
        CMyvorla_ltDoc doc;
        const std::string square = "0\n3DFACE\n10\n-5\n20\n-5\n11\n5\n21\n-5\n12\n5\n22\n5\n13\n-5\n23\n5\n";
        const CDxfImportStats stats = Import(Entities(square + Face(far, "10")), doc);
        ASSERT_EQ(stats.facesImported, 1u) << far;
        EXPECT_EQ(stats.facesOutOfRange, 1u) << far;
        EXPECT_EQ(doc.m_shapeList[0].m_vertex[0][0], -5.0f) << far;
        EXPECT_EQ(doc.m_shapeList[0].m_vertex[2][2], -5.0f) << far;
        EXPECT_NE(DxfImportSummary(stats, 1).find("dropped 1 face with a coordinate that is not a number"),
                  std::string::npos);
    }
}

TEST(DxfLimits, ThousandsOfLayerNamesFillTheTableAndAreCountedPastIt)
{
    // More names than the import remembers: those past that bound are looked up in the table.
    std::string body = "0\n3DFACE\n10\n0\n11\n5\n";
    for (int i = 0; i < 6000; ++i) body += "0\n3DFACE\n8\nL" + std::to_string(i % 5000) + "\n";
    CMyvorla_ltDoc doc;
    const CDxfImportStats stats = Import(Entities(body), doc);
    EXPECT_EQ(stats.facesImported, 6001u);
    EXPECT_EQ(g_layerCount, 99);
    EXPECT_EQ(g_layerName[98], "L97");  // the first face is on the empty name
    // Off the table: L98 to L4999 in the first round, L98 to L999 in the second.
    EXPECT_EQ(stats.facesOffTable, 4902u + 902u);
}
