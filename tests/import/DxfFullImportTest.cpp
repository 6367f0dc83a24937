// Full DXF import: the faces each entity kind makes, blocks and their inheritance, units,
// layers and code pages, text and binary files, broken references, and the apply step.
#include "import/DxfFullImport.h"

#include "import/DxfReader.h"
#include "model/LayerTable.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

std::string Data(const std::string& name) { return VORLA_TEST_DATA "/dxf/" + name; }

// "0\nNAME\n" and the groups; numbers as written.
std::string E(const std::string& name, const std::vector<std::pair<int, std::string>>& groups = {})
{
    std::string text = "0\n" + name + "\n";
    for (const auto& [code, value] : groups) text += std::to_string(code) + "\n" + value + "\n";
    return text;
}

std::string Section(const std::string& name, const std::string& body)
{
    return "0\nSECTION\n2\n" + name + "\n" + body + "0\nENDSEC\n";
}

std::string Drawing(const std::string& entities, const std::string& blocks = "", const std::string& header = "",
                    const std::string& tables = "")
{
    std::string text;
    if (!header.empty()) text += Section("HEADER", header);
    if (!tables.empty()) text += Section("TABLES", "0\nTABLE\n2\nLAYER\n" + tables + "0\nENDTAB\n");
    if (!blocks.empty()) text += Section("BLOCKS", blocks);
    return text + Section("ENTITIES", entities) + "0\nEOF\n";
}

CDxfFullModel Read(const std::string& text, std::uint64_t faceLimit = kDxfMaxFaces)
{
    CMemorySource source(text);
    CDxfFullOptions options;
    options.faceLimit = faceLimit;
    return ReadDxfFull(source, options);
}

// A 3DFACE square of side `size` at (x, y) on a layer.
std::string Square(double x, double y, double size = 10, const std::string& layer = "0",
                   const std::vector<std::pair<int, std::string>>& extra = {})
{
    auto n = [](double v) { return std::to_string(v); };
    std::vector<std::pair<int, std::string>> g = {{8, layer},          {10, n(x)},        {20, n(y)},
                                                  {11, n(x + size)},   {21, n(y)},        {12, n(x + size)},
                                                  {22, n(y + size)},   {13, n(x)},        {23, n(y + size)}};
    g.insert(g.end(), extra.begin(), extra.end());
    return E("3DFACE", g);
}

// Corners in DXF coordinates (less the model's plan origin added back).
std::vector<double> Corner(const CDxfFullModel& m, std::size_t face, int k)
{
    const float* v = m.shapes.at(face).m_vertex[k];
    return {v[0] + m.origin[0], -v[2] + m.origin[1], v[1]};
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want, const std::string& what)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t a = 0; a < got.size(); ++a) EXPECT_NEAR(got[a], want[a], 1e-4) << what << " axis " << a;
}

std::string Vertex(double x, double y, double z, int flags, std::vector<int> index = {})
{
    std::vector<std::pair<int, std::string>> g = {{10, std::to_string(x)}, {20, std::to_string(y)},
                                                  {30, std::to_string(z)}, {70, std::to_string(flags)}};
    for (std::size_t k = 0; k < index.size(); ++k) g.push_back({71 + int(k), std::to_string(index[k])});
    return E("VERTEX", g);
}

}  // namespace

// What each kind of entity makes, and what it leaves out, counted.
TEST(DxfFullImport, FacesOfEachEntityKind)
{
    const std::string polyface = E("POLYLINE", {{66, "1"}, {70, "64"}, {71, "4"}, {72, "5"}}) +
                                 Vertex(0, 0, 0, 192) + Vertex(10, 0, 0, 192) + Vertex(10, 10, 0, 192) +
                                 Vertex(0, 10, 5, 192) + Vertex(0, 0, 0, 128, {1, 2, 3, 4}) +
                                 Vertex(0, 0, 0, 128, {1, 2, 3, 0}) + Vertex(0, 0, 0, 128, {1, -2, 4}) +
                                 Vertex(0, 0, 0, 128, {1, 2, 9}) + Vertex(0, 0, 0, 128, {1, 2, 0}) + E("SEQEND");
    auto grid = [](int flags) {
        std::string text = E("POLYLINE", {{66, "1"}, {70, std::to_string(16 | flags)}, {71, "3"}, {72, "4"}});
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 4; ++j) text += Vertex(i * 10, j * 10, i * j, 64);
        return text + E("SEQEND");
    };
    const std::string mesh = E("MESH", {{100, "AcDbEntity"}, {92, "999"}, {100, "AcDbSubDMesh"}, {91, "0"},
                                        {92, "6"},  {10, "0"},  {20, "0"},  {30, "0"},  {10, "10"}, {20, "0"},
                                        {30, "0"},  {10, "15"}, {20, "8"},  {30, "0"},  {10, "5"},  {20, "15"},
                                        {30, "0"},  {10, "-5"}, {20, "8"},  {30, "0"},  {10, "5"},  {20, "5"},
                                        {30, "9"},  {93, "15"}, {90, "5"},  {90, "0"},  {90, "1"},  {90, "2"},
                                        {90, "3"},  {90, "4"},  {90, "3"},  {90, "0"},  {90, "1"},  {90, "5"},
                                        {90, "3"},  {90, "0"},  {90, "1"},  {90, "7"},  {94, "1"},  {90, "0"},
                                        {90, "1"}});
    const std::string square = E("LWPOLYLINE", {{90, "4"}, {70, "1"}, {39, "3"}, {10, "0"}, {20, "0"}, {10, "10"},
                                                {20, "0"}, {10, "10"}, {20, "10"}, {10, "0"}, {20, "10"}});
    struct {
        const char* what;
        std::string entities;
        std::uint64_t faces;
        std::uint64_t leftOut;  // everything counted as left out, of whatever kind
    } cases[] = {
        {"3DFACE of a 1-unit first edge (a drawing in metres)", Square(0, 0, 1), 1, 0},
        {"3DFACE of three points", E("3DFACE", {{10, "0"}, {11, "4"}, {12, "4"}, {22, "3"}}), 1, 0},
        {"3DFACE whose first two corners coincide: a triangle, its normal from the whole outline",
         E("3DFACE", {{11, "0"}, {12, "4"}, {13, "4"}, {23, "3"}}), 1, 0},
        {"3DFACE whose corners lie on a line", E("3DFACE", {{10, "0"}, {11, "4"}, {12, "8"}, {13, "12"}}), 0, 1},
        {"SOLID and TRACE", E("SOLID", {{11, "5"}, {12, "0"}, {22, "5"}, {13, "5"}, {23, "5"}}) +
                                E("TRACE", {{11, "5"}, {12, "0"}, {22, "5"}, {13, "5"}, {23, "5"}}), 2, 0},
        {"SOLID with no extrusion axis", E("SOLID", {{11, "5"}, {12, "0"}, {22, "5"}, {230, "0"}}), 0, 1},
        {"LINE with and without thickness", E("LINE", {{11, "5"}, {39, "2"}}) + E("LINE", {{11, "5"}}), 1, 1},
        {"polyface mesh: quad, triangle, invisible edge; an index past its vertices and a face of two",
         polyface, 3, 2},
        {"polygon mesh, open", grid(0), 6, 0},
        {"polygon mesh closed in M", grid(1), 9, 0},
        {"polygon mesh closed in N", grid(32), 8, 0},
        {"polygon mesh closed in both", grid(33), 12, 0},
        {"MESH: a pentagon in three triangles, a triangle; a vertex past its list; edges ignored", mesh, 4, 1},
        {"closed LWPOLYLINE with thickness", square, 4, 0},
        {"LWPOLYLINE of one bulge 1 (a half circle in 18 walls)",
         E("LWPOLYLINE", {{39, "1"}, {10, "0"}, {20, "0"}, {42, "1"}, {10, "10"}, {20, "0"}}), 18, 0},
        {"LWPOLYLINE without thickness", E("LWPOLYLINE", {{10, "0"}, {20, "0"}, {10, "10"}, {20, "0"}}), 0, 1},
        {"closed 2D POLYLINE with thickness, a spline frame point left out",
         E("POLYLINE", {{66, "1"}, {70, "1"}, {39, "2"}}) + Vertex(0, 0, 0, 0) + Vertex(5, 5, 0, 16) +
             Vertex(10, 0, 0, 0) + Vertex(10, 10, 0, 0) + E("SEQEND"), 3, 0},
        {"3D POLYLINE", E("POLYLINE", {{66, "1"}, {70, "8"}}) + Vertex(0, 0, 0, 32) + Vertex(5, 5, 5, 32) + E("SEQEND"),
         0, 1},
        {"CIRCLE with thickness", E("CIRCLE", {{40, "5"}, {39, "2"}}), 36, 0},
        {"ARC of 90 degrees, ARC across 0, ARC of no span",
         E("ARC", {{40, "5"}, {39, "2"}, {50, "0"}, {51, "90"}}) +
             E("ARC", {{40, "5"}, {39, "2"}, {50, "350"}, {51, "20"}}) +
             E("ARC", {{40, "5"}, {39, "2"}, {50, "45"}, {51, "45"}}), 12, 0},
        {"paper space", Square(0, 0, 10, "0", {{67, "1"}}), 0, 0},
    };
    for (const auto& c : cases) {
        const CDxfFullModel m = Read(Drawing(c.entities));
        EXPECT_EQ(m.stats.facesMade, c.faces) << c.what;
        EXPECT_EQ(m.shapes.size(), c.faces) << c.what;
        EXPECT_EQ(m.stats.leftOut.Total() + m.stats.degenerate, c.leftOut) << c.what;
        for (const CShape& s : m.shapes) {
            const float* n = s.m_normal[0];
            EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 1e-6) << c.what;
        }
    }
    EXPECT_EQ(Read(Drawing(Square(0, 0, 10, "0", {{67, "1"}}))).stats.paperSpace, 1u);
}

// LINE with thickness, SOLID and 3DFACE make exactly the faces the default import makes of
// them (corners, normals, layers, order, centring), colour aside.
TEST(DxfFullImport, KeepsTheDefaultImportsFaces)
{
    const std::string text = Drawing(
        Square(100, 200, 50, "A") + E("LINE", {{8, "B"}, {10, "3"}, {20, "4"}, {11, "40"}, {21, "-7"}, {39, "12.5"},
                                               {210, "0"}, {220, "0.6"}, {230, "0.8"}}) +
        E("SOLID", {{8, "A"}, {10, "1"}, {20, "2"}, {11, "30"}, {21, "2"}, {12, "1"}, {22, "20"}, {13, "30"},
                    {23, "25"}, {210, "0"}, {220, "0"}, {230, "-1"}}) +
        E("3DFACE", {{8, "C"}, {10, "0"}, {20, "0"}, {30, "5"}, {11, "9"}, {21, "1"}, {31, "0"}, {12, "4"}, {22, "8"},
                     {32, "2"}, {13, "4"}, {23, "8"}, {33, "2"}}));
    CMyvorla_ltDoc byDefault, full;
    CMemorySource a(text), b(text);
    ImportDxf(a, byDefault);
    const std::vector<std::string> defaultLayers(g_layerName, g_layerName + g_layerCount);
    ImportDxfFull(b, full);
    ASSERT_EQ(full.m_shapeList.size(), 4u);
    ASSERT_EQ(byDefault.m_shapeList.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        CShape x = byDefault.m_shapeList[i], y = full.m_shapeList[i];
        std::fill_n(x.m_color, 3, 0.0f);
        std::fill_n(y.m_color, 3, 0.0f);
        EXPECT_EQ(x, y) << "face " << i;
    }
    EXPECT_EQ(std::vector<std::string>(g_layerName, g_layerName + g_layerCount), defaultLayers);
}

// INSERT: base point, scale, rotation, position, arrays rotated with the insert, extrusion,
// nesting; layer "0" and ByBlock taken from the INSERT that places them.
TEST(DxfFullImport, BlocksArePlacedWithTheirTransformAndInheritance)
{
    const std::string blocks =
        E("BLOCK", {{2, "Tile"}, {10, "5"}, {20, "5"}, {30, "0"}}) +
        Square(5, 5, 10, "0", {{62, "0"}}) +       // ByBlock on layer 0: takes both from the INSERT
        Square(5, 5, 10, "Own", {{62, "3"}}) +     // its own layer and colour
        Square(5, 5, 10, "Own", {{62, "256"}}) +   // its own layer's colour
        E("ENDBLK") + E("BLOCK", {{2, "Pair"}}) +
        E("INSERT", {{8, "0"}, {62, "0"}, {2, "tile"}, {10, "100"}, {20, "0"}}) + E("ENDBLK");
    const std::string tables = E("LAYER", {{2, "Walls"}, {62, "1"}, {70, "0"}}) + E("LAYER", {{2, "Own"}, {62, "5"}});
    const std::string entities =
        E("INSERT", {{8, "Walls"}, {62, "256"}, {2, "TILE"}, {10, "1000"}, {20, "2000"}, {41, "2"}, {42, "3"},
                     {50, "90"}}) +
        E("INSERT", {{8, "Walls"}, {62, "2"}, {2, "Pair"}, {10, "0"}, {20, "0"}, {70, "2"}, {71, "3"}, {44, "50"},
                     {45, "30"}, {50, "90"}}) +
        E("INSERT", {{2, "Tile"}, {10, "0"}, {20, "0"}, {30, "7"}, {230, "-1"}}) +
        E("INSERT", {{2, "Tile"}, {70, "4"}, {71, "4"}});  // spacing 0: one copy, not 16 in one place
    const CDxfFullModel m = Read(Drawing(entities, blocks, "", tables));
    ASSERT_EQ(m.stats.facesMade, 3u * (1 + 6 + 1 + 1));
    EXPECT_EQ(m.stats.facesThroughInsert, m.stats.facesMade);
    // (5,5)-(15,15) less the base (5,5), scaled 2 x 3, turned 90 degrees, at (1000, 2000).
    ExpectNear(Corner(m, 0, 0), {1000, 2000, 0}, "first corner");
    ExpectNear(Corner(m, 0, 1), {1000, 2020, 0}, "second corner");
    ExpectNear(Corner(m, 0, 2), {970, 2020, 0}, "third corner");
    EXPECT_EQ(m.shapes[0].m_layer, "Walls");
    EXPECT_EQ(std::vector<float>(m.shapes[0].m_color, m.shapes[0].m_color + 3), (std::vector<float>{1, 0, 0}));
    EXPECT_EQ(m.shapes[1].m_layer, "Own");
    EXPECT_EQ(std::vector<float>(m.shapes[1].m_color, m.shapes[1].m_color + 3), (std::vector<float>{0, 1, 0}));
    EXPECT_EQ(std::vector<float>(m.shapes[2].m_color, m.shapes[2].m_color + 3), (std::vector<float>{0, 0, 1}));
    // The array of Pair: 2 columns 50 apart, 3 rows 30 apart, turned 90 degrees with the
    // insert; Pair places Tile at 100 on layer 0 in ByBlock: Walls, and the array's yellow.
    std::vector<std::vector<double>> firsts;
    for (std::size_t f = 3; f < 21; f += 3) firsts.push_back(Corner(m, f, 0));
    const std::vector<std::vector<double>> want = {{0, 100, 0},   {0, 150, 0},   {-30, 100, 0},
                                                   {-30, 150, 0}, {-60, 100, 0}, {-60, 150, 0}};
    for (std::size_t i = 0; i < want.size(); ++i) ExpectNear(firsts[i], want[i], "array copy " + std::to_string(i));
    EXPECT_EQ(m.shapes[3].m_layer, "Walls");
    EXPECT_EQ(std::vector<float>(m.shapes[3].m_color, m.shapes[3].m_color + 3), (std::vector<float>{1, 1, 0}));
    // Extrusion (0, 0, -1) mirrors X and takes Z down: the tile's (10, 0) corner is at -10.
    ExpectNear(Corner(m, 21, 1), {-10, 0, -7}, "extrusion");
    EXPECT_EQ(m.shapes[21].m_layer, "0");
}

// Broken references are counted and reported; the rest of the file still imports.
TEST(DxfFullImport, BrokenReferencesAreCountedAndTheRestImports)
{
    std::string chain;  // B0 inserts B1 ... inserts B1001: deeper than the nesting followed
    for (int i = 0; i <= 1001; ++i)
        chain += E("BLOCK", {{2, "B" + std::to_string(i)}}) + E("INSERT", {{2, "B" + std::to_string(i + 1)}}) +
                 Square(0, 0) + E("ENDBLK");
    const std::string blocks = E("BLOCK", {{2, "Self"}}) + Square(0, 0) + E("INSERT", {{2, "Self"}}) + E("ENDBLK") +
                               E("BLOCK", {{2, "Ping"}}) + E("INSERT", {{2, "Pong"}}) + E("ENDBLK") +
                               E("BLOCK", {{2, "Pong"}}) + Square(0, 0) + E("INSERT", {{2, "Ping"}}) + E("ENDBLK") +
                               E("BLOCK", {{2, "One"}}) + Square(0, 0) + E("ENDBLK") + chain;
    struct {
        const char* what;
        std::string insert;
        std::uint64_t CDxfFullStats::*counter;
        std::uint64_t faces;  // besides the square that follows the INSERT
    } cases[] = {
        {"a block the file does not define", E("INSERT", {{2, "Nowhere"}}), &CDxfFullStats::missingBlocks, 0},
        {"a block that inserts itself", E("INSERT", {{2, "Self"}}), &CDxfFullStats::selfInserts, 1},
        {"blocks that insert each other", E("INSERT", {{2, "Ping"}}), &CDxfFullStats::selfInserts, 1},
        {"a column count of 0", E("INSERT", {{2, "One"}, {70, "0"}, {44, "5"}}), &CDxfFullStats::badArrays, 0},
        {"an array past the face limit", E("INSERT", {{2, "One"}, {70, "3000"}, {71, "3000"}, {44, "5"}, {45, "5"}}),
         &CDxfFullStats::insertsOverLimit, 0},
        {"nesting deeper than it is followed", E("INSERT", {{2, "B0"}}), &CDxfFullStats::tooDeep, kDxfMaxNesting},
    };
    for (const auto& c : cases) {
        const CDxfFullModel m = Read(Drawing(c.insert + Square(500, 500, 10, "After"), blocks), 1'000'000);
        EXPECT_EQ(m.stats.*c.counter, 1u) << c.what;
        EXPECT_EQ(m.stats.facesMade, c.faces + 1) << c.what;
        EXPECT_EQ(m.shapes.back().m_layer, "After") << c.what;
        EXPECT_NE(DxfFullImportSummary(m.stats, 1).find("broken references"), std::string::npos) << c.what;
    }
    // Faces past the limit in model space itself are left out and counted too.
    const CDxfFullModel capped = Read(Drawing(Square(0, 0) + Square(20, 0) + Square(40, 0)), 2);
    EXPECT_EQ(capped.shapes.size(), 2u);
    EXPECT_EQ(capped.stats.facesOverLimit, 1u);
}

// $INSUNITS scales to millimetres; no units, 0 and unknown values leave the drawing as it is.
TEST(DxfFullImport, UnitsScaleToMillimetres)
{
    const struct {
        const char* header;
        double scale;
    } cases[] = {{"", 1},
                 {"9\n$INSUNITS\n70\n0\n", 1},
                 {"9\n$INSUNITS\n70\n1\n", 25.4},
                 {"9\n$INSUNITS\n70\n2\n", 304.8},
                 {"9\n$INSUNITS\n70\n4\n", 1},
                 {"9\n$INSUNITS\n70\n5\n", 10},
                 {"9\n$INSUNITS\n70\n6\n", 1000},
                 {"9\n$INSUNITS\n70\n14\n", 100},
                 {"9\n$INSUNITS\n70\n21\n", 1200.0 / 3937 * 1000},
                 {"9\n$INSUNITS\n70\n99\n", 1}};
    for (const auto& c : cases) {
        const CDxfFullModel m = Read(Drawing(Square(0, 0, 1), "", c.header));
        EXPECT_DOUBLE_EQ(m.stats.scale, c.scale) << c.header;
        EXPECT_DOUBLE_EQ(m.boxMax[0] - m.boxMin[0], c.scale) << c.header;
    }
}

// Layers: colours and visibility from the LAYER table, 99 at most, names decoded to UTF-8.
TEST(DxfFullImport, LayersTakeTheTablesColourVisibilityAndDecodedName)
{
    const std::string tables = E("LAYER", {{2, "Red"}, {62, "1"}, {70, "0"}}) +
                               E("LAYER", {{2, "Off"}, {62, "-3"}, {70, "0"}}) +
                               E("LAYER", {{2, "Frozen"}, {62, "30"}, {70, "1"}}) +
                               E("LAYER", {{2, "True"}, {62, "7"}, {420, "1193046"}});  // 0x123456
    std::string entities = Square(0, 0, 1, "Red") + Square(0, 0, 1, "off") + Square(0, 0, 1, "Frozen") +
                           Square(0, 0, 1, "True") + Square(0, 0, 1, "Unlisted") +
                           Square(0, 0, 1, "Red", {{420, "65280"}}) + Square(0, 0, 1, "Red", {{62, "0"}});
    for (int i = 0; i < 100; ++i) entities += Square(0, 0, 1, "L" + std::to_string(i));
    const CDxfFullModel m = Read(Drawing(entities, "", "", tables));
    ASSERT_EQ(m.layers.size(), std::size_t(kAddLayerLimit));
    auto layer = [&](std::size_t i) -> const CDxfFullLayer& { return m.layers[i]; };
    EXPECT_EQ(layer(0).name, "Red");
    EXPECT_EQ(std::vector<double>(layer(0).rgb, layer(0).rgb + 3), (std::vector<double>{1, 0, 0}));
    EXPECT_TRUE(layer(0).visible);
    EXPECT_EQ(layer(1).name, "off");  // as the entity writes it; the table's entry matches any case
    EXPECT_FALSE(layer(1).visible);
    EXPECT_FALSE(layer(2).visible);
    EXPECT_EQ(std::vector<double>(layer(2).rgb, layer(2).rgb + 3), (std::vector<double>{1, 127 / 255.0, 0}));
    EXPECT_EQ(std::vector<double>(layer(3).rgb, layer(3).rgb + 3),
              (std::vector<double>{0x12 / 255.0, 0x34 / 255.0, 0x56 / 255.0}));
    EXPECT_TRUE(layer(4).visible);
    EXPECT_EQ(std::vector<float>(m.shapes[0].m_color, m.shapes[0].m_color + 3), (std::vector<float>{1, 0, 0}));
    EXPECT_EQ(std::vector<float>(m.shapes[5].m_color, m.shapes[5].m_color + 3), (std::vector<float>{0, 1, 0}));
    EXPECT_EQ(std::vector<float>(m.shapes[6].m_color, m.shapes[6].m_color + 3), (std::vector<float>{1, 1, 1}));
    EXPECT_EQ(m.stats.offTable, 100u + 5 - kAddLayerLimit);

    const struct {
        const char* what;
        std::string header;
        std::string raw;
        std::string utf8;
    } names[] = {
        {"ANSI_1251", "9\n$DWGCODEPAGE\n3\nANSI_1251\n", "\xD1\xF2\xE5\xED\xE0", "Стена"},
        {"ANSI_932", "9\n$DWGCODEPAGE\n3\nANSI_932\n", "\x95\xC7", "壁"},
        {"AC1021 is UTF-8 whatever the code page", "9\n$ACADVER\n1\nAC1021\n9\n$DWGCODEPAGE\n3\nANSI_1252\n", "壁",
         "壁"},
        {"\\U+ escapes", "9\n$DWGCODEPAGE\n3\nANSI_1252\n", "W\\U+00E4nde", "Wände"},
        {"no code page: bytes kept for the display's CP932", "", "\x95\xC7", "\x95\xC7"},
    };
    for (const auto& n : names) {
        const CDxfFullModel decoded = Read(Drawing(Square(0, 0, 1, n.raw), "", n.header));
        ASSERT_EQ(decoded.layers.size(), 1u) << n.what;
        EXPECT_EQ(decoded.layers[0].name, n.utf8) << n.what;
        EXPECT_EQ(decoded.shapes[0].m_layer, n.utf8) << n.what;
    }
}

// What the file's text may look like: group codes of any width, lines of any length, CR LF,
// a last line without its line end, binary DXF.
TEST(DxfFullImport, ReadsCodesWholeLinesWholeAndBinaryFiles)
{
    const std::string plain = Drawing(Square(0, 0, 10, "Layer"));
    const std::string longName(300, 'x');
    std::string wide;  // right-aligned in six characters, and XDATA codes past 999
    for (std::size_t at = 0, next; at < plain.size(); at = next + 1) {
        next = plain.find('\n', at);
        const std::string code = plain.substr(at, next - at);
        at = next + 1;
        next = plain.find('\n', at);
        wide += std::string(6 - code.size(), ' ') + code + "\n" + plain.substr(at, next - at) + "\n";
        if (code == "8") wide += "  1001\nAPP\n  1000\n" + longName + "\n";
    }
    std::string crlf;
    for (char c : plain) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::string unterminated = Section("ENTITIES", Square(0, 0, 10, "Layer"));
    unterminated = unterminated.substr(0, unterminated.size() - std::string("0\nENDSEC\n").size());
    unterminated += "30\n77";  // no "0" follows and no line end: the face still counts, at z 77

    for (const std::string& text : {wide, crlf}) {
        const CDxfFullModel m = Read(text);
        ASSERT_EQ(m.shapes.size(), 1u);
        EXPECT_EQ(m.shapes[0].m_layer, "Layer");
        EXPECT_EQ(m.stats.cutLines + m.stats.badCodeLines, 0u);
    }
    const CDxfFullModel last = Read(unterminated);
    ASSERT_EQ(last.shapes.size(), 1u);
    EXPECT_EQ(last.shapes[0].m_vertex[0][1], 77.0f);
    const CDxfFullModel longLayer = Read(Drawing(Square(0, 0, 10, longName)));
    ASSERT_EQ(longLayer.shapes.size(), 1u);
    EXPECT_EQ(longLayer.shapes[0].m_layer, longName);

    // ezdxf's binary files (one-byte codes of R12, two-byte codes of R2000) give the model of
    // the same drawing written as text.
    for (const auto& [text, binary] : {std::pair{"ezdxf_blocks_r12.dxf", "ezdxf_blocks_bin_r12.dxf"},
                                       std::pair{"ezdxf_blocks.dxf", "ezdxf_blocks_bin.dxf"}}) {
        const CDxfFullModel a = Read(ReadWholeFile(Data(text)));
        const CDxfFullModel b = Read(ReadWholeFile(Data(binary)));
        EXPECT_TRUE(b.stats.binaryDxf);
        EXPECT_FALSE(b.stats.binaryTruncated);
        EXPECT_EQ(a.shapes, b.shapes) << binary;
        EXPECT_EQ(a.stats.scale, b.stats.scale) << binary;
        // Cut short inside a pair: reported, and what came before stays.
        const std::string whole = ReadWholeFile(Data(binary));
        const CDxfFullModel cut = Read(whole.substr(0, whole.size() * 3 / 4 + 1));
        EXPECT_TRUE(cut.stats.binaryTruncated) << binary;
        EXPECT_NE(DxfFullImportSummary(cut.stats, 0).find("binary file ends"), std::string::npos);
    }
}

// Drawings written by ezdxf: the counts, layers and bounds ezdxf itself finds in them
// (tools/dxf_crosscheck.py).
TEST(DxfFullImport, DrawingsOfAPeerWriter)
{
    const struct {
        const char* file;
        std::map<std::string, std::uint64_t> facesPerLayer;
        std::vector<double> min, max;  // display frame, centred
    } cases[] = {
        {"ezdxf_blocks.dxf", {{"Glass", 30}, {"Walls", 149}, {"Hidden", 5}, {"Frozen", 5}},
         {-23392.3048, -589.93828, -26098.0762}, {23392.3048, 3900, 26098.0762}},
        {"ezdxf_walls.dxf", {{"Walls", 60}, {"Rails", 9}, {"Columns", 111}, {"0", 3}},
         {-63250, -4000, -20000}, {63250, 6000, 20000}},
        {"ezdxf_meshes.dxf", {{"Faces", 3}, {"Grid", 33}, {"Mesh", 10}}, {-155, 0, -24.749279}, {155, 40, 24.749279}},
        {"ezdxf_cyrillic_r12.dxf", {{"Стена", 1}, {"Окно", 1}, {"TrueColour", 1}}, {-15, 0, -30}, {15, 0, 30}},
        {"ezdxf_japanese_r12.dxf", {{"壁", 1}, {"窓ガラス", 1}, {"TrueColour", 1}}, {-15, 0, -30}, {15, 0, 30}},
    };
    for (const auto& c : cases) {
        CMyvorla_ltDoc doc;
        const std::string bytes = ReadWholeFile(Data(c.file));
        CMemorySource source(bytes);
        ImportDxfFull(source, doc);
        std::map<std::string, std::uint64_t> perLayer;
        std::vector<double> lo(3, 1e300), hi(3, -1e300);
        for (const CShape& s : doc.m_shapeList) {
            ++perLayer[s.m_layer];
            for (const auto& v : s.m_vertex)
                for (int a = 0; a < 3; ++a) lo[a] = std::min<double>(lo[a], v[a]), hi[a] = std::max<double>(hi[a], v[a]);
        }
        EXPECT_EQ(perLayer, c.facesPerLayer) << c.file;
        for (int a = 0; a < 3; ++a) {
            EXPECT_NEAR(lo[a], c.min[a], 1e-2) << c.file << " axis " << a;
            EXPECT_NEAR(hi[a], c.max[a], 1e-2) << c.file << " axis " << a;
        }
    }
}

// The apply step: the document's faces and layer table replaced in one go, texture slots kept
// as AddLayer keeps them, the faces centred; a drawing far from its origin keeps its precision.
TEST(DxfFullImport, ApplyReplacesTheModelAndCentres)
{
    AddLayer("Old");
    AddLayer("Older");
    g_layerTexture[0] = "T_Stone";
    CMyvorla_ltDoc doc;
    doc.m_curShape.m_layer = "old";
    doc.AddShape();
    // Quarter-unit faces 6,641,872 units out, where a float steps by half a unit.
    const std::string text = Drawing(Square(6641872, 588212, 0.25, "B") + Square(6641872.5, 588212, 0.25, "A"));
    CMemorySource source(text);
    const CDxfFullStats stats = ImportDxfFull(source, doc);
    EXPECT_EQ(stats.facesMade, 2u);
    ASSERT_EQ(doc.m_shapeList.size(), 2u);
    EXPECT_EQ(g_layerCount, 2);
    EXPECT_EQ(g_layerName[0], "B");
    EXPECT_EQ(g_layerTexture[0], "T_Stone");
    EXPECT_TRUE(doc.IsModified());
    const CShape& s = doc.m_shapeList[0];
    EXPECT_FLOAT_EQ(s.m_vertex[0][0], -0.375f);
    EXPECT_FLOAT_EQ(s.m_vertex[1][0] - s.m_vertex[0][0], 0.25f);
    EXPECT_FLOAT_EQ(s.m_vertex[2][2] - s.m_vertex[1][2], -0.25f);
    EXPECT_FLOAT_EQ(doc.m_curShape.m_vertex[0][0], 6641872.5f);  // the last face, where the drawing has it

    // A file without faces leaves an empty, unmodified model with no layers.
    const std::string noFaces = Drawing(E("TEXT"));
    CMemorySource empty(noFaces);
    ImportDxfFull(empty, doc);
    EXPECT_TRUE(doc.m_shapeList.empty());
    EXPECT_EQ(g_layerCount, 0);
    EXPECT_FALSE(doc.IsModified());
}

// The summaries: the full import's, and when counting the full import's faces after a default
// import is worth a pass.
TEST(DxfFullImport, SummaryAndTheDefaultImportsHint)
{
    const std::string text = Drawing(
        Square(0, 0, 1, "A") + E("LWPOLYLINE", {{10, "0"}, {20, "0"}, {10, "1"}, {20, "0"}}) + E("TEXT") +
            E("INSERT", {{2, "Tile"}}) + E("INSERT", {{2, "Gone"}}),
        E("BLOCK", {{2, "Tile"}}) + Square(0, 0, 1) + E("ENDBLK"), "9\n$INSUNITS\n70\n6\n");
    const CDxfFullModel m = Read(text);
    const std::string summary = DxfFullImportSummary(m.stats, 2);
    for (const char* part : {"imported 2 faces on 2 layers (3DFACE 2; 1 of them through INSERT)",
                             "units: metres, scaled by 1000 to millimetres", "left out: 1 LWPOLYLINE without thickness",
                             "broken references: 1 INSERT of a block the file does not define", "skipped TEXT 1"})
        EXPECT_NE(summary.find(part), std::string::npos) << part << "\n" << summary;

    CMemorySource counted(text);
    EXPECT_EQ(CountDxfFullFaces(counted), 2u);
    CDxfImportStats stats;
    EXPECT_FALSE(DxfFullImportMayAddFaces(stats));
    for (const char* kind : {"POLYLINE", "LWPOLYLINE", "MESH", "INSERT", "CIRCLE", "ARC", "TRACE"}) {
        CDxfImportStats withKind;
        withKind.skippedByKind[kind] = 1;
        EXPECT_TRUE(DxfFullImportMayAddFaces(withKind)) << kind;
    }
    stats.skippedByKind["TEXT"] = 5;
    EXPECT_FALSE(DxfFullImportMayAddFaces(stats));
    stats.facesDroppedFirstEdge = 1;
    EXPECT_TRUE(DxfFullImportMayAddFaces(stats));
}

// The worker thread that cuts and converts ahead of the reader gives the same model as the
// caller's thread alone: over batch ends, a value longer than a batch's text, bad code lines.
TEST(DxfFullImport, WorkerThreadGivesTheSameModel)
{
    std::string many;
    for (int i = 0; i < 6000; ++i) many += Square(i * 20.0, 0, 10, "L" + std::to_string(i % 7));
    many += Square(0, 50, 10, std::string(300 << 10, 'n')) + "x1\nbad code\n";
    std::vector<std::string> texts = {Drawing(many)};
    for (const char* file : {"ezdxf_blocks.dxf", "ezdxf_walls.dxf", "ezdxf_meshes.dxf", "ezdxf_japanese_r12.dxf"})
        texts.push_back(ReadWholeFile(Data(file)));
    for (const std::string& text : texts) {
        CDxfFullOptions caller, worker;
        caller.threading = EDxfThreading::CallerOnly;
        worker.threading = EDxfThreading::Worker;
        std::vector<std::uint64_t> progress;
        worker.progress = [&](std::uint64_t bytes) { progress.push_back(bytes); };
        CMemorySource a(text), b(text);
        const CDxfFullModel x = ReadDxfFull(a, caller);
        const CDxfFullModel y = ReadDxfFull(b, worker);
        EXPECT_EQ(x.shapes, y.shapes);
        ASSERT_EQ(x.layers.size(), y.layers.size());
        for (std::size_t i = 0; i < x.layers.size(); ++i) EXPECT_EQ(x.layers[i].name, y.layers[i].name);
        EXPECT_EQ(DxfFullImportSummary(x.stats, 0), DxfFullImportSummary(y.stats, 0));
        EXPECT_EQ(x.stats.bytesRead, y.stats.bytesRead);
        EXPECT_FALSE(progress.empty());
        EXPECT_EQ(progress.back(), text.size());
    }
}
