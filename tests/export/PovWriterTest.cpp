// The POV-Ray scene text: both variants against golden files, the camera numbers, the layer
// lookup of faces, the one-or-two triangle rule and locale independence.
#include "export/GoldenText.h"
#include "export/PovWriter.h"
#include "export/SunPosition.h"
#include "model/LayerTable.h"
#include "model/SceneSettings.h"
#include "view/CameraState.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

namespace {

CShape Face(const std::string& layer, const float (&corners)[4][3])
{
    CShape shape;
    shape.m_kind = CShape::kFace;
    shape.m_layer = layer;
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) shape.m_vertex[k][a] = corners[k][a];
    return shape;
}

// The view of a 3:2 window after its first frame.
void SetFrame()
{
    g_aspect = 1.5;
    g_drawFovy = 30.0;
}

// Three layers (one named in Shift-JIS with a texture, one hidden), a free slot left visible by
// an earlier model, and faces on each: a quad, a triangle, a hidden face, a quad whose last
// corner differs by one float step, and a face whose layer differs only in letter case.
CShapeList SmallModel()
{
    AddLayer("Walls");
    AddLayer("\x95\xC7");  // "壁" (wall)
    AddLayer("Hidden");
    const double walls[kLayerAttrCount] = {0.8, 0.6, 0.4, 0.0, 0.25, 1.0};
    const double wall[kLayerAttrCount] = {0.3, 0.4, 0.8, 0.5, 0.0, 1.0};
    for (int a = 0; a < kLayerAttrCount; ++a) {
        g_layerAttr[0][a] = walls[a];
        g_layerAttr[1][a] = wall[a];
    }
    g_layerAttr[2][kVisible] = 0.0;
    g_layerTexture[1] = "T_Stone8 scale 100";
    g_layerTexture[2] = "T_Glass1";
    g_layerAttr[3][kVisible] = 1.0;

    const float step = std::nextafter(2500.5f, 3000.0f);
    return {
        Face("Walls", {{0, 0, 0}, {1000, 0, 0}, {1000, 2500.5f, 0}, {0, 2500.5f, 0}}),
        Face("\x95\xC7", {{0, 0, -1000}, {1000, 0, -1000}, {500, 800.25f, -1000}, {500, 800.25f, -1000}}),
        Face("Hidden", {{5, 5, 5}, {6, 5, 5}, {6, 6, 5}, {5, 6, 5}}),
        Face("Nowhere", {{-1, 0, 1}, {-2, 0, 1}, {-2, 2500.5f, 1}, {-2, step, 1}}),
        Face("walls", {{0.125f, 0, 3}, {1, 0, 3}, {1, 1, 3}, {1, 1, 3}}),
    };
}

std::string Scene(const CShapeList& shapes, PovVariant variant)
{
    double sun[3];
    ComputeSunPosition(sun);
    CStringSink sink;
    EXPECT_TRUE(WritePovScene(sink, shapes, variant, sun));
    return sink.m_bytes;
}

int Count(const std::string& text, const std::string& what)
{
    int count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

// Switches the whole process to another locale for one test and back.
class CLocaleGuard {
public:
    explicit CLocaleGuard(const char* name) : m_saved(std::setlocale(LC_ALL, nullptr))
    {
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~CLocaleGuard() { std::setlocale(LC_ALL, m_saved.c_str()); }
    bool Ok() const { return m_ok; }

private:
    std::string m_saved;
    bool m_ok = false;
};

class CFailingSink : public CByteSink {
public:
    bool Write(const void*, std::size_t) override
    {
        m_error = "No space left on device";
        return false;
    }
};

}  // namespace

TEST(PovWriter, ExportSceneOfASmallModel)
{
    SetFrame();
    ExpectSameAsGolden("pov/small-export.pov", Scene(SmallModel(), PovVariant::Export));
}

TEST(PovWriter, RenderSceneOfASmallModel)
{
    SetFrame();
    ExpectSameAsGolden("pov/small-render.pov", Scene(SmallModel(), PovVariant::Render));
}

TEST(PovWriter, StartUpCameraInAThreeToTwoWindow)
{
    SetFrame();
    const CPovCamera camera = ComputePovCamera();
    const double eye[3] = {-40557.979, 70710.679, -57922.795};
    const double lookAt[3] = {-40557.573, 70709.972, -57922.216};
    for (int a = 0; a < 3; ++a) {
        EXPECT_NEAR(camera.eye[a], eye[a], 1e-3) << a;
        EXPECT_NEAR(camera.lookAt[a], lookAt[a], 1e-3) << a;
    }
    EXPECT_NEAR(camera.angle, 43.7927, 5e-5);
    // 100000 units out, looking straight at the origin.
    const double distance = std::hypot(camera.eye[0], camera.eye[1], camera.eye[2]);
    EXPECT_NEAR(distance, 100000.0, 1e-6);
    for (int a = 0; a < 3; ++a) EXPECT_NEAR(camera.lookAt[a] - camera.eye[a], -camera.eye[a] / distance, 1e-9);

    const std::string scene = Scene({}, PovVariant::Export);
    EXPECT_NE(scene.find("camera {\n"
                         "  location <-40557.978819, 70710.678939, -57922.795496>\n"
                         "  right <1.500000, 0.000000, 0.000000>\n"
                         "  up <0.000000, 1.000000, 0.000000>\n"
                         "  look_at <-40557.573240, 70709.971832, -57922.216268>\n"
                         "  angle 43.792"),
              std::string::npos)
        << scene;
}

TEST(PovWriter, EmptyModelWithEmptySkyAndGround)
{
    SetFrame();
    g_sky.clear();
    g_ground.clear();
    const std::string scene = Scene({}, PovVariant::Render);
    EXPECT_EQ(scene.find("sky_sphere"), std::string::npos);
    EXPECT_NE(scene.find("#include \"woods.inc\"\n\ncamera {\n"), std::string::npos) << "no sky and no blank line";
    EXPECT_NE(scene.find("#declare mat99999 = texture {\n  \n}\n"), std::string::npos);
    EXPECT_TRUE(scene.ends_with("  texture{ mat99999 }\n}\n\n")) << "POV-Ray refuses an empty mesh: " << scene;
}

TEST(PovWriter, NoMeshWhenNoFaceIsShownOrNoneHasArea)
{
    SetFrame();
    AddLayer("Shown");
    AddLayer("Hidden");
    g_layerAttr[1][kVisible] = 0.0;
    const float tiny = 0.000001f;
    const struct {
        const char* what;
        CShapeList shapes;
        bool mesh;
    } cases[] = {
        {"all faces hidden", {Face("Hidden", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}})}, false},
        {"corners on one line", {Face("Shown", {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {2, 2, 2}})}, false},
        {"a quad of two such triangles", {Face("Shown", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}})}, false},
        {"apart by less than the six decimals", {Face("Shown", {{0, 0, 0}, {1e-7f, 0, 0}, {0, 1e-7f, 0}, {0, 1e-7f, 0}})},
         false},
        {"apart by the last decimal", {Face("Shown", {{0, 0, 0}, {tiny, 0, 0}, {0, tiny, 0}, {0, tiny, 0}})}, true},
        {"only the second triangle of a quad", {Face("Shown", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 1, 0}})}, true},
        {"a flat face after a hidden one",
         {Face("Hidden", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}}), Face("Shown", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}})},
         true},
    };
    for (const auto& c : cases) {
        const std::string scene = Scene(c.shapes, PovVariant::Render);
        EXPECT_EQ(scene.find("mesh {") != std::string::npos, c.mesh) << c.what;
        if (c.mesh) {
            EXPECT_TRUE(scene.ends_with("   }\n}\n")) << c.what;
        }
    }
}

TEST(PovWriter, ExportNeverWritesTheSceneSettingsOrTextures)
{
    SetFrame();
    g_sky = "S_Cloud9";
    g_ground = "T_Grnt9";
    const std::string scene = Scene(SmallModel(), PovVariant::Export);
    for (const char* text : {"woods.inc", "S_Cloud9", "T_Grnt9", "T_Stone8", "T_Glass1"})
        EXPECT_EQ(scene.find(text), std::string::npos) << text;
    EXPECT_EQ(Count(scene, "light_source"), 1);
}

TEST(PovWriter, WithoutLayersTheFirstSlotDecidesVisibility)
{
    SetFrame();
    const CShapeList shapes = {Face("A", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}})};
    EXPECT_EQ(Count(Scene(shapes, PovVariant::Export), "triangle {"), 0) << "slot 0 never used: hidden";
    g_layerAttr[0][kVisible] = 1.0;
    const std::string scene = Scene(shapes, PovVariant::Export);
    EXPECT_EQ(Count(scene, "triangle {"), 1);
    EXPECT_EQ(Count(scene, "texture { mat99999 }"), 1);
    EXPECT_EQ(Count(scene, "#declare mat"), 2) << "only mat00 and mat99999";
}

TEST(PovWriter, AFullTableHasNoFreeSlotSoUnknownLayersAreHidden)
{
    SetFrame();
    g_layerCount = kMaxLayers;
    for (int i = 0; i < kMaxLayers; ++i) {
        g_layerName[i] = "L" + std::to_string(i);
        g_layerAttr[i][kVisible] = 1.0;
    }
    const CShapeList shapes = {Face("L99", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}}),
                               Face("L100", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}})};
    const std::string scene = Scene(shapes, PovVariant::Export);
    EXPECT_EQ(Count(scene, "triangle {"), 1);
    EXPECT_EQ(Count(scene, "texture { mat99 }"), 1);
    EXPECT_NE(scene.find("#declare mat99 = texture {//L99\n"), std::string::npos);
}

TEST(PovWriter, AFourthCornerDifferentInAnyCoordinateGivesTwoTriangles)
{
    SetFrame();
    AddLayer("A");
    struct {
        float last[3];
        int triangles;
    } const cases[] = {
        {{1, 1, 0}, 1},
        {{1, 1, -0.0f}, 1},  // -0 equals 0
        {{std::nextafter(1.0f, 2.0f), 1, 0}, 2},
        {{1, std::nextafter(1.0f, 0.0f), 0}, 2},
        {{1, 1, 1e-30f}, 2},
    };
    for (const auto& c : cases) {
        const CShapeList shapes = {Face("A", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {c.last[0], c.last[1], c.last[2]}})};
        EXPECT_EQ(Count(Scene(shapes, PovVariant::Export), "triangle {"), c.triangles)
            << c.last[0] << " " << c.last[1] << " " << c.last[2];
    }
}

TEST(PovWriter, DecimalCommaLocaleWritesTheSameBytes)
{
    SetFrame();
    const CShapeList shapes = SmallModel();
    const std::string inC = Scene(shapes, PovVariant::Render);
    CLocaleGuard german("de_DE.UTF-8");
    if (!german.Ok()) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    EXPECT_EQ(Scene(shapes, PovVariant::Render), inC);
}

TEST(PovWriter, LayerNamesStayInsideTheirCommentLine)
{
    SetFrame();
    AddLayer("two\nlines\r");
    AddLayer(std::string("cut\0off", 7));
    g_layerTexture[1] = std::string("T_Wood1\0junk", 12);
    const std::string scene = Scene({}, PovVariant::Render);
    EXPECT_NE(scene.find("#declare mat0 = texture {//two lines \n"), std::string::npos);
    EXPECT_NE(scene.find("#declare mat1 = texture {//cut\n  T_Wood1\n}\n"), std::string::npos);
    EXPECT_EQ(scene.find('\0'), std::string::npos);
}

TEST(PovWriter, AFailedSinkIsReported)
{
    SetFrame();
    CFailingSink sink;
    EXPECT_FALSE(WritePovScene(sink, SmallModel(), PovVariant::Export, nullptr));
}

TEST(PovWriter, ExtensionTestLooksForLowerOrUpperPovAnywhere)
{
    const struct {
        const char* path;
        bool accepted;
    } cases[] = {
        {"/home/a/scene.pov", true}, {"/home/a/SCENE.POV", true},  {"/home/a/scene.Pov", false},
        {"/home/a/scene.txt", false}, {"/a.pov/scene.txt", true}, {"/home/a/scene.povray", true},
        {"/home/a/scenepov", false},
    };
    for (const auto& c : cases) EXPECT_EQ(HasPovExtension(c.path), c.accepted) << c.path;
}

TEST(PovWriter, ASceneWithItsMeshInAFileOfItsOwnIsTheSameScene)
{
    SetFrame();
    double sun[3];
    ComputeSunPosition(sun);
    for (const bool withFaces : {true, false}) {
        const CShapeList shapes = withFaces ? SmallModel() : CShapeList{};
        CStringSink scene, mesh;
        ASSERT_TRUE(WritePovSceneUsingMeshFile(scene, shapes, sun, "mesh.inc"));
        ASSERT_TRUE(WritePovMesh(mesh, shapes));
        std::string joined = scene.m_bytes;
        const auto include = joined.find("#include \"mesh.inc\"\n");
        EXPECT_EQ(include != std::string::npos, withFaces);
        if (include != std::string::npos) joined.replace(include, 20, mesh.m_bytes);
        EXPECT_EQ(joined, Scene(shapes, PovVariant::Render)) << withFaces;
    }
}
