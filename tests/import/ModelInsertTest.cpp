// Inserting a model file: layer merge by name, faces appended selected, the pending move, and
// damaged or foreign files that must leave everything as it was.
#include "import/ModelInsert.h"
#include "interaction/MoveState.h"
#include "model/Globals.h"
#include "model/LayerTable.h"
#include "model/ModelFile.h"
#include "model/SceneSettings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct CLayerRow {
    std::string name;
    double value;  // red; the other values derive from it so each layer is recognisable
    std::string texture;
};

CShape MakeShape(const std::string& layer, float seed, int32_t selected)
{
    CShape s;
    s.m_kind = 3;
    s.m_selected = selected;
    s.m_layer = layer;
    for (int c = 0; c < 3; ++c) s.m_color[c] = seed + 0.125f * c;
    for (int r = 0; r < 6; ++r) s.m_reserved[r] = seed * 100 + r;
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) {
            s.m_vertex[k][a] = seed * 1000 + k * 10 + a;
            s.m_normal[k][a] = -seed - k - a;
        }
    return s;
}

void SetLayers(const std::vector<CLayerRow>& layers)
{
    g_layerCount = 0;
    for (const CLayerRow& layer : layers) {
        const int i = g_layerCount++;
        g_layerName[i] = layer.name;
        for (int a = 0; a < kLayerAttrCount; ++a) g_layerAttr[i][a] = layer.value + a;
        g_layerTexture[i] = layer.texture;
    }
}

// The bytes of a model file with these layers and faces and foreign scene settings; the
// globals are back at their start-of-process values afterwards.
std::string ModelBytes(const std::vector<CLayerRow>& layers, const CShapeList& shapes)
{
    SetLayers(layers);
    g_sky = "pigment { Blood_Sky} ";
    g_ground = "file ground";
    g_north = 123;
    g_season = 30;
    g_latitude = -45;
    g_hour = 20;
    CStringSink sink;
    EXPECT_TRUE(WriteModelFile(sink, shapes));
    ResetGlobals();
    return sink.m_bytes;
}

CInsertResult Insert(const std::string& bytes, CMyvorla_ltDoc& doc)
{
    CMemorySource source(bytes);
    return InsertModel(source, doc, bytes.size());
}

// Everything an insertion may touch, to show that a failed one touched nothing.
struct CState {
    std::string model;  // scene settings, layers in use, faces with their selection flags
    int layerCount;
    std::vector<std::string> names, textures;
    std::string attrBytes;
    int moving;
    double from[3], to[3];
    bool modified;
    CShape curShape;

    bool operator==(const CState& o) const
    {
        return model == o.model && layerCount == o.layerCount && names == o.names && textures == o.textures &&
               attrBytes == o.attrBytes && moving == o.moving && std::memcmp(from, o.from, sizeof from) == 0 &&
               std::memcmp(to, o.to, sizeof to) == 0 && modified == o.modified && curShape == o.curShape;
    }
};

CState Capture(const CMyvorla_ltDoc& doc)
{
    CState state;
    CStringSink sink;
    WriteModelFile(sink, doc.m_shapeList);
    state.model = sink.m_bytes;
    state.layerCount = g_layerCount;
    state.names.assign(std::begin(g_layerName), std::end(g_layerName));
    state.textures.assign(std::begin(g_layerTexture), std::end(g_layerTexture));
    state.attrBytes.assign(reinterpret_cast<const char*>(g_layerAttr), sizeof g_layerAttr);
    state.moving = g_movingSelection;
    std::memcpy(state.from, g_moveFrom, sizeof g_moveFrom);
    std::memcpy(state.to, g_moveTo, sizeof g_moveTo);
    state.modified = doc.IsModified();
    state.curShape = doc.m_curShape;
    return state;
}

// A base model with layers "B" and "C", two faces (the second selected), unmodified.
void MakeBase(CMyvorla_ltDoc& doc)
{
    SetLayers({{"B", 0.5, "base B"}, {"C", 0.25, "base C"}});
    doc.m_shapeList = {MakeShape("B", 1, 0), MakeShape("C", 2, 1)};
    doc.SetModifiedFlag(false);
}

}  // namespace

TEST(ModelInsert, NewLayerNamesAreAppendedWithTheFileValuesAndKnownNamesKeepTheirs)
{
    const std::string file = ModelBytes({{"A", 10, "file A"}, {"B", 20, "file B"}, {"A", 30, ""}}, {});
    CMyvorla_ltDoc doc;
    MakeBase(doc);
    g_layerTexture[2] = "left in slot 2";

    const CInsertResult result = Insert(file, doc);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.layersAdded, 1);
    ASSERT_EQ(g_layerCount, 3);
    EXPECT_EQ(g_layerName[0], "B");
    EXPECT_EQ(g_layerName[1], "C");
    EXPECT_EQ(g_layerName[2], "A");
    for (int a = 0; a < kLayerAttrCount; ++a) {
        EXPECT_EQ(g_layerAttr[0][a], 0.5 + a) << "B keeps the model's values";
        EXPECT_EQ(g_layerAttr[2][a], 10.0 + a) << "A takes the first entry's values";
    }
    EXPECT_EQ(g_layerTexture[0], "base B");
    EXPECT_EQ(g_layerTexture[2], "left in slot 2") << "the file's texture text is not used";
}

TEST(ModelInsert, FacesAreAppendedSelectedAfterTheDeselectedModel)
{
    CShape odd = MakeShape("Z", 5, 0);
    odd.m_kind = 7;
    const CShapeList added = {MakeShape("A", 3, 1), MakeShape("B", 4, 0), odd};
    const std::string file = ModelBytes({{"A", 10, ""}}, added);
    CMyvorla_ltDoc doc;
    MakeBase(doc);
    g_moveFrom[0] = 5;
    g_moveTo[0] = 7;
    g_moveTo[2] = -8;

    const CInsertResult result = Insert(file, doc);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.shapesInserted, 3u);
    ASSERT_EQ(doc.m_shapeList.size(), 5u);
    EXPECT_EQ(doc.m_shapeList[0].m_selected, 0);
    EXPECT_EQ(doc.m_shapeList[1].m_selected, 0) << "the escape operation deselects the model";
    for (std::size_t i = 0; i < added.size(); ++i) {
        const CShape& got = doc.m_shapeList[2 + i];
        CShape want = added[i];
        want.m_selected = 1;
        std::fill(std::begin(want.m_reserved), std::end(want.m_reserved), 0.0f);
        EXPECT_EQ(got, want) << i;
    }
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(g_movingSelection, 1);
    EXPECT_TRUE(result.startMoveTracking);
    EXPECT_EQ(g_moveFrom[0], 0.0);
    EXPECT_EQ(g_moveTo[0], 7.0);
    EXPECT_EQ(g_moveTo[2], -8.0);
}

TEST(ModelInsert, TheSceneSettingsStayAndAMismatchingVersionIsInsertedAnyway)
{
    std::string file = ModelBytes({{"A", 10, ""}}, {MakeShape("A", 1, 0)});
    file.replace(0, 21, "\x0fVorla_III V0.06");
    CMyvorla_ltDoc doc;
    g_sky = "mine";
    g_north = 7;
    const CInsertResult result = Insert(file, doc);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(doc.m_shapeList.size(), 1u);
    EXPECT_EQ(g_layerCount, 1);
    EXPECT_EQ(g_sky, "mine");
    EXPECT_EQ(g_ground, kDefaultGround);
    EXPECT_EQ(g_north, 7.0);
    EXPECT_EQ(g_season, 0.0);
    EXPECT_EQ(g_latitude, 36.0);
    EXPECT_EQ(g_hour, 10.0);
}

TEST(ModelInsert, InsertingTwiceAddsTheFacesTwiceAndTheLayersOnce)
{
    const std::string file = ModelBytes({{"A", 10, ""}, {"B", 20, ""}}, {MakeShape("A", 1, 0), MakeShape("B", 2, 0)});
    CMyvorla_ltDoc doc;
    ASSERT_TRUE(Insert(file, doc).ok);
    const CInsertResult second = Insert(file, doc);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.layersAdded, 0);
    EXPECT_EQ(g_layerCount, 2);
    ASSERT_EQ(doc.m_shapeList.size(), 4u);
    EXPECT_EQ(doc.m_shapeList[0].m_selected, 0) << "the first insertion is deselected by the second";
    EXPECT_EQ(doc.m_shapeList[3].m_selected, 1);
    EXPECT_EQ(doc.m_shapeList[0].m_vertex[1][2], doc.m_shapeList[2].m_vertex[1][2]);
}

TEST(ModelInsert, LayersStopAtNinetyNineButEveryFaceIsInserted)
{
    struct CCase {
        int before;
        int expectedAdded;
    };
    const CCase cases[] = {{kAddLayerLimit, 0}, {kAddLayerLimit - 1, 1}, {kMaxLayers, 0}};
    const std::string file =
        ModelBytes({{"X", 1, ""}, {"Y", 2, ""}, {"Z", 3, ""}}, {MakeShape("X", 1, 0), MakeShape("Z", 2, 0)});
    for (const CCase& c : cases) {
        std::vector<CLayerRow> layers;
        for (int i = 0; i < c.before; ++i) layers.push_back({"L" + std::to_string(i), 0, ""});
        SetLayers(layers);
        CMyvorla_ltDoc doc;
        const CInsertResult result = Insert(file, doc);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.layersAdded, c.expectedAdded) << c.before;
        EXPECT_EQ(g_layerCount, std::max(c.before, std::min(c.before + 3, kAddLayerLimit))) << c.before;
        ASSERT_EQ(doc.m_shapeList.size(), 2u);
        EXPECT_EQ(doc.m_shapeList[1].m_layer, "Z") << "a face keeps a layer name that found no room";
    }
}

TEST(ModelInsert, AFileWithoutFacesStillStartsTheMove)
{
    const std::string file = ModelBytes({}, {});
    CMyvorla_ltDoc doc;
    MakeBase(doc);
    const CInsertResult result = Insert(file, doc);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.shapesInserted, 0u);
    EXPECT_EQ(g_movingSelection, 1);
    EXPECT_TRUE(result.startMoveTracking);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.m_shapeList[1].m_selected, 0);
}

TEST(ModelInsert, EveryTruncationOfAFileLeavesTheModelAsItWas)
{
    const std::string file = ModelBytes({{"A", 10, "tex"}, {std::string(300, 'L'), 20, ""}},
                                        {MakeShape("A", 1, 0), MakeShape("Q", 2, 1), MakeShape("A", 3, 0)});
    CMyvorla_ltDoc doc;
    MakeBase(doc);
    g_moveTo[1] = 3;
    const CState before = Capture(doc);
    for (std::size_t length = 0; length < file.size(); ++length) {
        const CInsertResult result = Insert(file.substr(0, length), doc);
        ASSERT_FALSE(result.ok) << length;
        EXPECT_NE(result.error.find("ends inside"), std::string::npos) << length << ": " << result.error;
        ASSERT_TRUE(Capture(doc) == before) << "changed after a file cut at " << length << " bytes";
    }
}

TEST(ModelInsert, ForeignFilesAreRefusedAndChangeNothing)
{
    const std::string header = ModelBytes({}, {});
    const std::string beforeFaces = header.substr(0, header.size() - 4);
    auto bytes32 = [](int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    const std::string beforeLayers = beforeFaces.substr(0, beforeFaces.size() - 4);
    const std::pair<const char*, std::string> cases[] = {
        {"DXF text", "0\nSECTION\n2\nENTITIES\n0\n3DFACE\n8\nA\n10\n0.0\n0\nENDSEC\n0\nEOF\n"},
        {"PNG", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"layer count 1000", beforeLayers + bytes32(1000)},
        {"negative layer count", beforeLayers + bytes32(-1)},
        {"huge face count", beforeFaces + bytes32(0x7FFFFFFF)},
        {"unknown class", beforeFaces + bytes32(1) + std::string("\xFF\xFF\0\0\x06\0CThing", 12)},
        {"reference before description", beforeFaces + bytes32(1) + "\x01\x80" + std::string(141, '\0')},
    };
    CMyvorla_ltDoc doc;
    MakeBase(doc);
    const CState before = Capture(doc);
    for (const auto& [what, bytes] : cases) {
        const CInsertResult result = Insert(bytes, doc);
        EXPECT_FALSE(result.ok) << what;
        EXPECT_NE(result.error.find("at byte"), std::string::npos) << what << ": " << result.error;
        EXPECT_FALSE(result.startMoveTracking) << what;
        EXPECT_TRUE(Capture(doc) == before) << what;
    }
}
