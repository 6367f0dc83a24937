// DXF import: corner and normal rules, the entity machine, layers, centring and bad input.
#include "import/DxfReader.h"

#include "model/LayerTable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using CCorners = std::vector<std::vector<float>>;  // four corners, display frame

std::string Entities(const std::string& body) { return "0\nSECTION\n2\nENTITIES\n" + body + "0\nENDSEC\n0\nEOF\n"; }

// A 3DFACE with the given corners in DXF coordinates; missing groups are left out.
std::string Face(const std::string& layer, const std::vector<std::vector<double>>& points, const std::string& extra = "")
{
    std::string text = "0\n3DFACE\n";
    if (!layer.empty()) text += "8\n" + layer + "\n";
    for (std::size_t k = 0; k < points.size(); ++k)
        for (int a = 0; a < 3; ++a) {
            char number[64];
            std::snprintf(number, sizeof number, "%.17g", points[k][a]);
            text += std::to_string((a + 1) * 10 + int(k)) + "\n" + number + "\n";
        }
    return text + extra;
}

struct CImport {
    CMyvorla_ltDoc doc;
    CDxfImportStats stats;
};

CImport Import(const std::string& text)
{
    CImport result;
    CMemorySource source(text);
    result.stats = ImportDxf(source, result.doc);
    return result;
}

CCorners Corners(const CShape& s)
{
    CCorners out;
    for (const auto& v : s.m_vertex) out.push_back({v[0], v[1], v[2]});
    return out;
}

std::vector<float> Normal(const CShape& s, int k = 0) { return {s.m_normal[k][0], s.m_normal[k][1], s.m_normal[k][2]}; }

// A face away from the origin in plan is moved; these helpers keep faces centred so corners
// can be compared as written (their plan box is symmetric about the origin).
const std::string kSquare = "10\n-5\n20\n-5\n30\n0\n11\n5\n21\n-5\n31\n0\n12\n-5\n22\n5\n32\n0\n13\n5\n23\n5\n33\n0\n";

}  // namespace

TEST(DxfReader, LineWithThicknessBecomesAnUprightFace)
{
    const auto r = Import(Entities("0\nLINE\n10\n-5\n20\n0\n30\n0\n11\n5\n21\n0\n31\n0\n39\n2.5\n"));
    ASSERT_EQ(r.doc.m_shapeList.size(), 1u);
    const CShape& s = r.doc.m_shapeList[0];
    EXPECT_EQ(Corners(s), (CCorners{{-5, 0, 0}, {5, 0, 0}, {5, 2.5f, 0}, {-5, 2.5f, 0}}));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(Normal(s, k), (std::vector<float>{0, 0, 1}));
    EXPECT_EQ(s.m_kind, 3);
    EXPECT_EQ(s.m_selected, 0);
    EXPECT_TRUE(r.doc.IsModified());
}

TEST(DxfReader, LineExtrusionRules)
{
    struct {
        const char* extrusion;
        CCorners corners;
        std::vector<float> normal;
        std::uint64_t faces;
    } const cases[] = {
        {"", {}, {}, 0},  // no thickness: nothing
        {"39\n2\n210\n0\n220\n0\n230\n0\n", {{-5, 0, 0}, {5, 0, 0}, {5, 2, 0}, {-5, 2, 0}}, {0, 0, 1}, 1},
        // Along (0, 3, 0), not normalised: 6 units in DXF Y, then centred in plan.
        {"39\n2\n210\n0\n220\n3\n230\n0\n", {{-5, 0, 3}, {5, 0, 3}, {5, 0, -3}, {-5, 0, -3}}, {0, 1, 0}, 1},
        // Extruded along its own direction: no area, so the zero normal rather than NaN.
        {"39\n2\n210\n1\n220\n0\n230\n0\n", {{-6, 0, 0}, {4, 0, 0}, {6, 0, 0}, {-4, 0, 0}}, {0, 0, 0}, 1},
    };
    for (const auto& c : cases) {
        const auto r = Import(Entities(std::string("0\nLINE\n10\n-5\n20\n0\n30\n0\n11\n5\n21\n0\n31\n0\n") + c.extrusion));
        ASSERT_EQ(r.stats.facesImported, c.faces) << c.extrusion;
        if (c.faces == 0) {
            EXPECT_EQ(r.stats.linesWithoutThickness, 1u);
            EXPECT_FALSE(r.doc.IsModified());
            continue;
        }
        EXPECT_EQ(Corners(r.doc.m_shapeList[0]), c.corners) << c.extrusion;
        EXPECT_EQ(Normal(r.doc.m_shapeList[0]), c.normal) << c.extrusion;
    }
}

TEST(DxfReader, SolidCornersFollowTheArbitraryAxisRule)
{
    // No extrusion: the third and fourth points are exchanged, giving an untwisted square.
    auto r = Import(Entities("0\nSOLID\n" + kSquare));
    ASSERT_EQ(r.doc.m_shapeList.size(), 1u);
    EXPECT_EQ(Corners(r.doc.m_shapeList[0]), (CCorners{{-5, 0, 5}, {5, 0, 5}, {5, 0, -5}, {-5, 0, -5}}));
    EXPECT_EQ(Normal(r.doc.m_shapeList[0]), (std::vector<float>{0, 1, 0}));

    // Extrusion (0, 0, -1) maps (x, y, z) to (-x, y, -z).
    r = Import(Entities("0\nSOLID\n10\n-5\n20\n-5\n30\n2\n11\n5\n21\n-5\n31\n2\n12\n-5\n22\n5\n32\n2\n13\n5\n23\n5\n"
                        "33\n2\n230\n-1\n"));
    ASSERT_EQ(r.doc.m_shapeList.size(), 1u);
    EXPECT_EQ(Corners(r.doc.m_shapeList[0]), (CCorners{{5, -2, 5}, {-5, -2, 5}, {-5, -2, -5}, {5, -2, -5}}));
    EXPECT_EQ(Normal(r.doc.m_shapeList[0]), (std::vector<float>{0, -1, 0}));
}

TEST(DxfReader, SolidWithoutAUsableAxisMakesNothing)
{
    // Zero vector; a short vector near the pole whose provisional X axis has no length; and
    // a usable axis whose determinant is below 1e-10.
    for (const char* extrusion : {"210\n0\n220\n0\n230\n0\n", "210\n0\n220\n0.01\n230\n0\n", "210\n1e-6\n230\n0\n"}) {
        const auto r = Import(Entities("0\nSOLID\n" + kSquare + extrusion + "0\n3DFACE\n" + kSquare));
        EXPECT_EQ(r.stats.solidsDropped, 1u) << extrusion;
        ASSERT_EQ(r.doc.m_shapeList.size(), 1u) << extrusion;  // the face after it is still read
        for (const auto& v : r.doc.m_shapeList[0].m_vertex)
            for (float x : v) EXPECT_TRUE(std::isfinite(x));
    }
}

TEST(DxfReader, FirstEdgeMustBeLongerThanOne)
{
    const auto r = Import(Entities(Face("", {{0, 0, 0}, {1, 0, 0}, {1, 5, 0}, {0, 5, 0}}) +
                                   Face("", {{0, 0, 0}, {1.001, 0, 0}, {1, 5, 0}, {0, 5, 0}})));
    EXPECT_EQ(r.stats.facesImported, 1u);
    EXPECT_EQ(r.stats.facesDroppedFirstEdge, 1u);
    EXPECT_FLOAT_EQ(r.doc.m_shapeList[0].m_vertex[1][0] - r.doc.m_shapeList[0].m_vertex[0][0], 1.001f);
}

TEST(DxfReader, ColourNumbers)
{
    const struct {
        const char* group;
        std::vector<float> rgb;
    } cases[] = {{"", {1, 1, 1}},          {"62\n0\n", {1, 1, 1}},   {"62\n1\n", {1, 0, 0}},
                 {"62\n2\n", {1, 1, 0}},   {"62\n3\n", {0, 1, 0}},   {"62\n4\n", {0, 1, 0}},
                 {"62\n5\n", {0, 0, 1}},   {"62\n6\n", {1, 0, 1}},   {"62\n7\n", {1, 1, 1}},
                 {"62\n8\n", {0, 1, 1}},   {"62\n256\n", {0, 1, 1}}, {"62\n-1\n", {0, 1, 1}},
                 {"62\n   5\n", {0, 0, 1}}};
    for (const auto& c : cases) {
        // A preceding red entity shows that the colour number does not carry over.
        const auto r = Import(Entities("0\n3DFACE\n62\n1\n" + kSquare + "0\n3DFACE\n" + c.group + kSquare));
        ASSERT_EQ(r.doc.m_shapeList.size(), 2u);
        const float* rgb = r.doc.m_shapeList[1].m_color;
        EXPECT_EQ((std::vector<float>{rgb[0], rgb[1], rgb[2]}), c.rgb) << c.group;
    }
}

TEST(DxfReader, LayersInOrderOfFirstUseUpTo99)
{
    auto r = Import(Entities(Face("A", {}, kSquare) + Face("B", {}, kSquare) + Face("A", {}, kSquare)));
    ASSERT_EQ(g_layerCount, 2);
    EXPECT_EQ(g_layerName[0], "A");
    EXPECT_EQ(g_layerName[1], "B");

    g_layerTexture[0] = "T_Old";  // an old layer's texture stays with its slot
    std::string body;
    for (int i = 0; i < 100; ++i) body += Face("L" + std::to_string(i), {}, kSquare);
    r = Import(Entities(body));
    EXPECT_EQ(g_layerCount, 99);
    EXPECT_EQ(r.doc.m_shapeList.size(), 100u);
    EXPECT_EQ(r.doc.m_shapeList[99].m_layer, "L99");
    EXPECT_EQ(r.stats.facesOffTable, 1u);
    EXPECT_EQ(g_layerName[0], "L0");
    EXPECT_EQ(g_layerTexture[0], "T_Old");
    EXPECT_EQ(g_layerAttr[0][kVisible], 1.0);

    // Many names, short and long, some alike but for their middle bytes, met again after
    // hundreds of others: every face keeps its own name, the table takes the first 99 in order
    // of first use, and every face past them is counted off the table.
    std::vector<std::string> names;
    for (int i = 0; i < 700; ++i) {
        const std::string n = std::to_string(i);
        names.push_back(i % 3 == 0 ? n : i % 3 == 1 ? "Walls_" + n + "_of_the_north_block" : "Floors_" + n + "_level");
    }
    std::mt19937 random(9);
    std::vector<int> order;
    std::string text = Face("", {}, kSquare);  // before any layer name: the empty one
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 700; ++i) order.push_back(round == 0 ? i : int(random() % 700));
    for (int i : order) text += Face(names[std::size_t(i)], {}, kSquare);
    r = Import(Entities(text));
    ASSERT_EQ(r.doc.m_shapeList.size(), order.size() + 1);
    EXPECT_EQ(r.doc.m_shapeList[0].m_layer, "");
    std::uint64_t offTable = 0;
    for (std::size_t f = 0; f < order.size(); ++f) {
        ASSERT_EQ(r.doc.m_shapeList[f + 1].m_layer, names[std::size_t(order[f])]) << f;
        offTable += order[f] >= 98;  // the empty name took the first place
    }
    ASSERT_EQ(g_layerCount, 99);
    EXPECT_EQ(g_layerName[0], "");
    for (int i = 1; i < 99; ++i) EXPECT_EQ(g_layerName[i], names[std::size_t(i - 1)]);
    EXPECT_EQ(r.stats.facesOffTable, offTable);
}

TEST(DxfReader, LayerAndPointsCarryOverToTheNextEntity)
{
    const auto r = Import(Entities(Face("Walls", {}, kSquare) + "0\n3DFACE\n10\n-6\n"));
    ASSERT_EQ(r.doc.m_shapeList.size(), 2u);
    const CShape& second = r.doc.m_shapeList[1];
    EXPECT_EQ(second.m_layer, "Walls");
    // Box x from -6 to 5: centring moves everything by +0.5.
    EXPECT_EQ(Corners(second), (CCorners{{-5.5f, 0, 5}, {5.5f, 0, 5}, {-4.5f, 0, -5}, {5.5f, 0, -5}}));
}

TEST(DxfReader, AFaceNotFollowedByACodeZeroIsLost)
{
    EXPECT_EQ(Import("0\nSECTION\n2\nENTITIES\n0\n3DFACE\n" + kSquare).stats.facesImported, 0u);
    EXPECT_EQ(Import("0\nSECTION\n2\nENTITIES\n0\n3DFACE\n" + kSquare + "0\nENDSEC\n0\nEOF\n").stats.facesImported, 1u);
    // A file that ends after a code line, before its value.
    EXPECT_EQ(Import("0\nSECTION\n2\nENTITIES\n0\n3DFACE\n" + kSquare + "0").stats.facesImported, 0u);
}

TEST(DxfReader, OnlyTheEntitiesSectionIsRead)
{
    const std::string blocks = "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB1\n0\n3DFACE\n" + kSquare + "0\nENDBLK\n0\nENDSEC\n";
    const auto r = Import(blocks + Entities("0\nINSERT\n2\nB1\n10\n50\n20\n50\n"));
    EXPECT_EQ(r.stats.facesImported, 0u);
    EXPECT_TRUE(r.stats.entitiesFound);
    EXPECT_EQ(r.stats.skippedByKind, (std::map<std::string, std::uint64_t>{{"INSERT", 1}}));
    EXPECT_EQ(g_layerCount, 0);
    EXPECT_FALSE(r.doc.IsModified());

    const auto none = Import(blocks + "0\nEOF\n");
    EXPECT_FALSE(none.stats.entitiesFound);
    EXPECT_NE(DxfImportSummary(none.stats, 0).find("no ENTITIES section"), std::string::npos);
}

TEST(DxfReader, CentresThePlanOnTheOrigin)
{
    auto r = Import(Entities(Face("", {{100, -50, 7}, {200, -50, 7}, {200, 50, 7}, {100, 50, 7}})));
    EXPECT_EQ(Corners(r.doc.m_shapeList[0]), (CCorners{{-50, 7, 50}, {50, 7, 50}, {50, 7, -50}, {-50, 7, -50}}));
    r = Import(Entities(Face("", {{-300, 0, 0}, {-100, 0, 0}, {-100, 10, 0}, {-300, 10, 0}})));
    EXPECT_EQ(Corners(r.doc.m_shapeList[0]), (CCorners{{-100, 0, 5}, {100, 0, 5}, {100, 0, -5}, {-100, 0, -5}}));
}

TEST(DxfReader, GroupCodeIsReadFromThreeCharactersAndNamesMatchExactly)
{
    // "  8", " 8" and "8" are all group 8; "1001" reads as 100 and is ignored; "LINE " is not LINE.
    for (const char* code : {"  8", " 8", "8"}) {
        const auto r = Import(Entities(std::string("0\n3DFACE\n") + code + "\nX\n1001\n9\n" + kSquare));
        ASSERT_EQ(r.doc.m_shapeList.size(), 1u) << code;
        EXPECT_EQ(r.doc.m_shapeList[0].m_layer, "X") << code;
    }
    const auto r = Import(Entities("0\nLINE \n10\n-5\n11\n5\n39\n1\n  0\n3dface\n" + kSquare));
    EXPECT_EQ(r.stats.facesImported, 0u);
    EXPECT_EQ(r.stats.skippedByKind, (std::map<std::string, std::uint64_t>{{"3dface", 1}, {"LINE ", 1}}));
    // A code written four wide ("   2") reads as 0, so the section is never found.
    const auto wide = Import("   0\nSECTION\n   2\nENTITIES\n   0\n3DFACE\n" + kSquare + "   0\nEOF\n");
    EXPECT_FALSE(wide.stats.entitiesFound);
    EXPECT_GT(wide.stats.wideCodeLines, 0u);
}

TEST(DxfReader, GroupCodeSpellingsReadAsAtoiReadsThem)
{
    // Each spelling stands where group 8 would be; the layer shows whether it read as 8.
    const struct {
        const char* code;
        bool isEight;
    } cases[] = {{"8", true},   {" 8", true},  {"  8", true}, {"008", true},  {"+8", true},  {"\t8", true},
                 {"8 ", true},  {"8x", true},  {"  8 9", true}, {"08", true}, {"1 8", false}, {" 8 ", true},
                 {"88", false}, {"x8", false}, {"", false},    {"  ", false}, {"-8", false}, {"9", false}};
    for (const auto& c : cases) {
        const auto r = Import(Entities("0\n3DFACE\n8\nY\n" + kSquare + "0\n3DFACE\n" + c.code + "\nX\n" + kSquare));
        ASSERT_EQ(r.doc.m_shapeList.size(), 2u) << '"' << c.code << '"';
        EXPECT_EQ(r.doc.m_shapeList[1].m_layer, c.isEight ? "X" : "Y") << '"' << c.code << '"';
    }
}

TEST(DxfReader, CrLfFileGivesTheSameModel)
{
    const std::string lf = Entities(Face("A", {{-5, -5, 0}, {5, -5, 0}, {5, 5, 3}}) + "0\nLINE\n8\nB\n" + kSquare +
                                    "39\n4\n");
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const auto a = Import(lf);
    const auto b = Import(crlf);
    ASSERT_EQ(a.doc.m_shapeList.size(), 2u);
    EXPECT_EQ(a.doc.m_shapeList, b.doc.m_shapeList);
    EXPECT_EQ(b.doc.m_shapeList[1].m_layer, "B");
}

TEST(DxfReader, ALineLongerThan255CharactersShiftsThePairing)
{
    // A 254-character layer name is kept whole. At 255 characters the value loses its last
    // character, and the line feed left over is read as the next code line ("" reads as 0).
    const std::string name254(254, 'n');
    auto r = Import(Entities(Face(name254, {}, kSquare)));
    ASSERT_EQ(r.doc.m_shapeList.size(), 1u);
    EXPECT_EQ(r.doc.m_shapeList[0].m_layer, name254);

    r = Import(Entities(Face(std::string(255, 'n'), {}, kSquare)));
    EXPECT_EQ(r.stats.longLines, 1u);
    EXPECT_EQ(r.stats.facesImported, 0u);
    EXPECT_EQ(r.stats.skippedByKind.count("10"), 1u);  // "10" became an entity name
    EXPECT_NE(DxfImportSummary(r.stats, g_layerCount).find("longer than 255"), std::string::npos);
}

TEST(DxfReader, OddNumbersNeverCrashAndNaNFailsTheEdgeTest)
{
    auto r = Import(Entities("0\n3DFACE\n10\nnan\n11\n5\n" + std::string("12\n5\n22\n5\n13\n0\n23\n5\n")));
    EXPECT_EQ(r.stats.facesImported, 0u);
    EXPECT_EQ(r.stats.facesDroppedFirstEdge, 1u);

    // An infinite corner passes the edge test but makes no face (DxfLimitsTest.cpp).
    r = Import(Entities("0\n3DFACE\n10\n1e999\n20\n0\n11\n5\n12\n5\n22\n5\n13\n0\n23\n5\n"));
    EXPECT_EQ(r.stats.facesImported, 0u);
    EXPECT_EQ(r.stats.facesOutOfRange, 1u);

    // Comma decimals stop at the comma, as atof does in the C locale; hex and blanks are read.
    r = Import(Entities("0\n3DFACE\n10\n-5,5\n20\n 0x0\n11\n+5\n21\n0\n" + std::string("12\n5\n22\n5\n13\n-5\n23\n5\n")));
    ASSERT_EQ(r.stats.facesImported, 1u);
    EXPECT_EQ(r.doc.m_shapeList[0].m_vertex[0][0], -5.0f);
}

TEST(DxfReader, MalformedInputEndsWithoutCrashOrHang)
{
    const auto start = std::chrono::steady_clock::now();
    // Binary DXF, NUL bytes inside lines, a 10 MB line, a file that is only a code line.
    const std::string binary = std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + std::string("\0\x02\0ENTITIES\0", 12);
    auto r = Import(binary);
    EXPECT_TRUE(r.stats.binaryDxf);
    EXPECT_NE(DxfImportSummary(r.stats, 0).find("binary"), std::string::npos);

    // A line is a C string: "AB\0C" reads as "AB", less its last character; "3DF\0ACE" as "3D".
    r = Import(Entities(std::string("0\n3DFACE\n8\nAB\0C\n", 16) + kSquare + std::string("0\n3DF\0ACE\n", 10) + kSquare));
    ASSERT_EQ(r.doc.m_shapeList.size(), 1u);
    EXPECT_EQ(r.doc.m_shapeList[0].m_layer, "A");
    EXPECT_EQ(r.stats.skippedByKind, (std::map<std::string, std::uint64_t>{{"3D", 1}}));

    r = Import(Entities(std::string(10 << 20, '7') + "\n" + Face("", {}, kSquare)));
    EXPECT_EQ(r.stats.longLines, 1u);
    EXPECT_EQ(Import("0").stats.facesImported, 0u);
    EXPECT_EQ(Import("").stats.facesImported, 0u);

    std::mt19937 random(3);
    const std::string tokens[] = {"0\n", "3DFACE\n", "SOLID\n", "LINE\n", "10\n", "nan\n", "1e999\n", "39\n",
                                  "2\n", "ENTITIES\n", "\r\n", "\0", "-1\n", "230\n", "-0\n", "8\n", "1e-320\n"};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = 0; i < 200; ++i) text += tokens[random() % std::size(tokens)];
        Import(text);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(DxfReader, ReplacesTheModelAndReportsProgress)
{
    CMyvorla_ltDoc doc;
    doc.m_curShape.m_layer = "old";
    doc.AddShape();
    const std::string text = Entities(Face("A", {}, kSquare));
    CMemorySource source(text);
    std::uint64_t last = 0;
    const CDxfImportStats stats = ImportDxf(source, doc, [&](std::uint64_t bytes) { last = bytes; });
    ASSERT_EQ(doc.m_shapeList.size(), 1u);
    EXPECT_EQ(doc.m_shapeList[0].m_layer, "A");
    EXPECT_EQ(last, text.size());
    EXPECT_EQ(stats.bytesRead, text.size());
    EXPECT_EQ(DxfImportSummary(stats, g_layerCount), "imported 1 face on 1 layer");
}

TEST(DxfReader, LeavesTheScratchRecordAsAddShapeDoes)
{
    // The scratch face ends as a copy of the last face added, before the centring moved it;
    // its reserved values are not copied into faces and stay as they were.
    CMyvorla_ltDoc doc;
    doc.m_curShape.m_reserved[2] = 7.0f;
    const std::string text =
        Entities(Face("A", {{100, -50, 7}, {200, -50, 7}, {200, 50, 7}, {100, 50, 7}}, "62\n1\n") +
                 "0\nLINE\n8\nB\n10\n0\n20\n0\n30\n0\n11\n10\n21\n0\n31\n0\n39\n2.5\n62\n5\n" +
                 Face("C", {{0, 0, 0}, {0.5, 0, 0}, {0, 3, 0}}));  // dropped: short first edge
    CMemorySource source(text);
    ImportDxf(source, doc);
    ASSERT_EQ(doc.m_shapeList.size(), 2u);
    const CShape& last = doc.m_shapeList[1];
    const CShape& cur = doc.m_curShape;
    EXPECT_EQ(cur.m_kind, 3);
    EXPECT_EQ(cur.m_layer, "B");
    EXPECT_EQ((std::vector<float>{cur.m_color[0], cur.m_color[1], cur.m_color[2]}), (std::vector<float>{0, 0, 1}));
    EXPECT_EQ(Corners(cur), (CCorners{{0, 0, 0}, {10, 0, 0}, {10, 2.5f, 0}, {0, 2.5f, 0}}));
    EXPECT_EQ(Normal(cur), Normal(last));
    EXPECT_EQ(cur.m_reserved[2], 7.0f);
    for (float r : last.m_reserved) EXPECT_EQ(r, 0.0f);
    EXPECT_NE(Corners(last), Corners(cur));  // the list's copy was centred
}
