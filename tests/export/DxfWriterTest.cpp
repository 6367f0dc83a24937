// DXF export: the exact text, the coordinate mapping, the name test, and import of what was written.
#include "export/DxfWriter.h"

#include "import/DxfReader.h"
#include "model/LayerTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kHeadAndTables[] =
    "999\nCreated by vorla_lt\n0\nSECTION\n2\nHEADER\n9\n$EXTMIN\n10\n -100000\n20\n -100000\n9\n$EXTMAX\n"
    "10\n 100000\n20\n 100000\n9\n$LTSCALE\n40\n18.0\n0\nENDSEC\n0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLTYPE\n"
    "70\n1\n0\nLTYPE\n2\nDASHED2\n70\n64\n3\n----    ----    ----    ----\n72\n65\n73\n2\n40\n5.0\n49\n2.5\n"
    "49\n-2.5\n0\nENDTAB\n0\nTABLE\n2\nSTYLE\n70\n1\n0\nSTYLE\n2\nSTANDARD\n70\n64\n40\n0.0\n41\n1.0\n42\n0.0\n"
    "50\n0.0\n71\n0\n3\nTXT\n4\nBIGFONT\n0\nENDTAB\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";

std::string Write(const CShapeList& shapes)
{
    CStringSink sink;
    EXPECT_TRUE(WriteDxf(sink, shapes));
    return sink.m_bytes;
}

CShape Quad(const std::string& layer, float x0, float z0, float size, float y)
{
    CShape s;
    s.m_kind = 3;
    s.m_layer = layer;
    const float xs[4] = {x0, x0 + size, x0 + size, x0};
    const float zs[4] = {z0, z0, z0 + size, z0 + size};
    for (int k = 0; k < 4; ++k) {
        s.m_vertex[k][0] = xs[k];
        s.m_vertex[k][1] = y + k * 0.25f;
        s.m_vertex[k][2] = zs[k];
    }
    return s;
}

class CFailingSink : public CByteSink {
public:
    bool Write(const void*, std::size_t) override
    {
        m_error = "No space left on device";
        return false;
    }
};

}  // namespace

TEST(DxfWriter, EmptyModelIsHeaderTablesAndAnEmptyEntitiesSection)
{
    EXPECT_EQ(Write({}), std::string(kHeadAndTables) + "0\nENDSEC\n0\nEOF\n");
}

TEST(DxfWriter, OneFaceWithDisplayCornersMappedBack)
{
    CShape s;
    s.m_layer = "";
    s.m_vertex[0][0] = 1, s.m_vertex[0][1] = 2, s.m_vertex[0][2] = 3;
    s.m_vertex[1][0] = -0.5f, s.m_vertex[1][1] = 1e-7f, s.m_vertex[1][2] = 0;  // -z of 0 is -0.0
    s.m_vertex[2][0] = 123456.789f, s.m_vertex[2][1] = 0, s.m_vertex[2][2] = -40557.979f;
    s.m_vertex[3][0] = 0.1f, s.m_vertex[3][1] = 3e38f, s.m_vertex[3][2] = 1;
    const std::string face =
        "0\n3DFACE\n8\n\n6\n0\n62\n7\n"
        "10\n1.000000\n20\n-3.000000\n30\n2.000000\n"
        "11\n-0.500000\n21\n-0.000000\n31\n0.000000\n"
        "12\n123456.789062\n22\n40557.980469\n32\n0.000000\n"
        "13\n0.100000\n23\n-1.000000\n33\n300000000549775575777803994281145270272.000000\n";
    EXPECT_EQ(Write({s}), std::string(kHeadAndTables) + face + "0\nENDSEC\n0\nEOF\n");
}

TEST(DxfWriter, FailedSinkIsReported)
{
    CFailingSink sink;
    EXPECT_FALSE(WriteDxf(sink, {Quad("A", 0, 0, 10, 0)}));
}

TEST(DxfWriter, ExportNameMustHoldDotDxfOrDotDXF)
{
    const struct {
        const char* path;
        bool ok;
    } cases[] = {{"a.dxf", true},        {"A.DXF", true},      {"a.Dxf", false}, {"a.dxf.bak", true},
                 {"/x.dxf/model", true}, {"model.vrl", false}, {"dxf", false},   {"", false}};
    for (const auto& c : cases) EXPECT_EQ(IsDxfExportPath(c.path), c.ok) << c.path;
}

TEST(DxfWriter, ImportOfTheWrittenFileGivesTheSameCornersAndLayers)
{
    // Quarter-unit values print exactly with six decimals; the plan is centred already, so the
    // import's centring moves nothing. The layer bytes include Shift-JIS text.
    CShapeList shapes = {Quad("Ground", -3000.5f, -3000.5f, 6001, 0), Quad("\x95\xc7", -10, -20, 20, 2.5f),
                         Quad("Roof", -100.25f, 5, 50, 12), Quad("\x95\xc7", 50, 5.75f, 2, -1)};
    shapes[3].m_vertex[3][0] = shapes[3].m_vertex[2][0];  // a triangle repeats its third corner
    shapes[3].m_vertex[3][1] = shapes[3].m_vertex[2][1];
    shapes[3].m_vertex[3][2] = shapes[3].m_vertex[2][2];
    const std::string text = Write(shapes);

    CMyvorla_ltDoc doc;
    CMemorySource source(text);
    const CDxfImportStats stats = ImportDxf(source, doc);
    EXPECT_EQ(stats.facesImported, shapes.size());
    ASSERT_EQ(doc.m_shapeList.size(), shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        EXPECT_EQ(doc.m_shapeList[i].m_layer, shapes[i].m_layer);
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a)
                EXPECT_EQ(doc.m_shapeList[i].m_vertex[k][a], shapes[i].m_vertex[k][a]) << i << " " << k << " " << a;
    }
    ASSERT_EQ(g_layerCount, 3);
    EXPECT_EQ(g_layerName[0], "Ground");
    EXPECT_EQ(g_layerName[1], "\x95\xc7");
    EXPECT_EQ(g_layerName[2], "Roof");
}
