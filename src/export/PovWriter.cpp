// The POV-Ray scene writer: fixed header lines, camera, lights, textures, ground and mesh.
// Text goes straight into a block buffer; numbers are formatted with integer arithmetic and
// std::to_chars, never printf.
#include "export/PovWriter.h"

#include "export/FloatText.h"
#include "export/NumberText.h"
#include "model/LayerTable.h"
#include "model/SceneSettings.h"
#include "view/CameraState.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// Texture number of faces whose layer is in no table entry.
constexpr int kUnmatchedTexture = 99999;

// Room for one "%f" number, with the slack FormatFixed6 expects past its longest text.
constexpr std::size_t kNumberRoom = kMaxFixed6Length + 8;

// Room for one "<%f,%f,%f>" corner.
constexpr std::size_t kCornerRoom = 3 * kNumberRoom + 4;

class CPovText {
public:
    explicit CPovText(CByteSink& sink) : m_out(sink) {}

    void Put(std::string_view text) { m_out.Put(text); }

    // A stored byte string as "%s" writes it: up to its first NUL byte.
    void PutString(std::string_view text) { m_out.Put(text.substr(0, text.find('\0'))); }

    void PutNumber(double value)
    {
        char* out = m_out.Reserve(kNumberRoom);
        m_out.Commit(static_cast<std::size_t>(FormatFixed6(out, value) - out));
    }

    void PutInt(long long value)
    {
        char text[24];
        m_out.Put(text, static_cast<std::size_t>(FormatInt(text, value) - text));
    }

    // "<%f, %f, %f>"
    void PutVector(double x, double y, double z)
    {
        Put("<");
        PutNumber(x);
        Put(", ");
        PutNumber(y);
        Put(", ");
        PutNumber(z);
        Put(">");
    }

    CBufferedWriter& Raw() { return m_out; }
    bool Finish() { return m_out.Flush(); }

private:
    CBufferedWriter m_out;
};

// One corner as "<%f,%f,%f>" in POV-Ray coordinates (z negated; negating the float and then
// widening it gives the same double as widening and then negating).
char* FormatCorner(char* out, const float (&v)[3])
{
    *out++ = '<';
    out = FormatFloatFixed6(out, v[0]);
    *out++ = ',';
    out = FormatFloatFixed6(out, v[1]);
    *out++ = ',';
    out = FormatFloatFixed6(out, -v[2]);
    *out++ = '>';
    return out;
}

// The layer-name comment after "//": a line break inside a name would end the comment and
// turn the rest of the name into scene code, so breaks become blanks.
void PutCommentName(CPovText& text, std::string_view name)
{
    std::string line(name.substr(0, name.find('\0')));
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    text.Put(line);
}

void WriteHeader(CPovText& text, PovVariant variant)
{
    text.Put("//Created by Vorla_DORAZ\n"
             "#include \"colors.inc\"\n"
             "#include \"textures.inc\"\n"
             "#include \"shapes.inc\"\n"
             "#include \"skies.inc\"\n"
             "#include \"glass.inc\"\n"
             "#include \"stones.inc\"\n"
             "#include \"metals.inc\"\n");
    if (variant == PovVariant::Render) text.Put("#include \"woods.inc\"\n");
    text.Put("\n");
    if (variant == PovVariant::Export) {
        text.Put("sky_sphere{ S_Cloud1 }\n\n");
    } else if (!g_sky.empty()) {
        text.Put("sky_sphere{ ");
        text.PutString(g_sky);
        text.Put(" }\n\n");
    }
}

void WriteCamera(CPovText& text, const CPovCamera& camera)
{
    text.Put("camera {\n");
    if (camera.form == PovCameraForm::LookAt) {
        text.Put("  location ");
        text.PutVector(camera.eye[0], camera.eye[1], camera.eye[2]);
        text.Put("\n  right ");
        text.PutVector(g_aspect, 0, 0);
        text.Put("\n  up ");
        text.PutVector(0, 1, 0);
        text.Put("\n  look_at ");
        text.PutVector(camera.lookAt[0], camera.lookAt[1], camera.lookAt[2]);
        text.Put("\n  angle ");
        text.PutNumber(camera.angle);
        text.Put("\n}\n\n");
        return;
    }
    if (camera.orthographic) text.Put("  orthographic\n");
    const struct {
        const char* name;
        const double* v;
    } lines[] = {{"  location ", camera.eye},
                 {"  direction ", camera.direction},
                 {"  right ", camera.right},
                 {"  up ", camera.up}};
    for (const auto& line : lines) {
        text.Put(line.name);
        text.PutVector(line.v[0], line.v[1], line.v[2]);
        text.Put("\n");
    }
    text.Put("}\n\n");
}

void WriteLight(CPovText& text, const double (&at)[3])
{
    text.Put("light_source { ");
    text.PutVector(at[0], at[1], at[2]);
    text.Put(" color rgb 1 }\n");
}

void WriteTextures(CPovText& text, PovVariant variant)
{
    text.Put("#declare mat00 = texture {\n"
             "  pigment { color rgbf<0.149, 1.000, 0.118, 0.500> }\n"
             "}\n"
             "#declare mat99999 = texture {\n");
    if (variant == PovVariant::Export) {
        text.Put("  pigment { color rgb<1.0, 1.0, 1.0> }\n  finish { reflection 0.3 }\n");
    } else {
        text.Put("  ");
        text.PutString(g_ground);
        text.Put("\n");
    }
    text.Put("}\n");
    for (int i = 0; i < g_layerCount && i < kMaxLayers; ++i) {
        text.Put("#declare mat");
        text.PutInt(i);
        text.Put(" = texture {//");
        PutCommentName(text, g_layerName[i]);
        text.Put("\n");
        const double* attr = g_layerAttr[i];
        if (variant == PovVariant::Render && !g_layerTexture[i].empty()) {
            text.Put("  ");
            text.PutString(g_layerTexture[i]);
            text.Put("\n");
        } else {
            text.Put("  pigment { color rgbf<");
            text.PutNumber(attr[kRed]);
            text.Put(", ");
            text.PutNumber(attr[kGreen]);
            text.Put(", ");
            text.PutNumber(attr[kBlue]);
            text.Put(", ");
            text.PutNumber(attr[kTransparency]);
            text.Put("> }\n  finish { reflection ");
            text.PutNumber(attr[kReflection]);
            text.Put(" }\n");
        }
        text.Put("}\n");
    }
    text.Put("\n"
             "object{\n"
             "  Plane_XZ\n"
             "  texture{ mat99999 }\n"
             "}\n"
             "\n");
}

// The layer of a face, found once per run of faces on the same layer.
struct CLayerOfFace {
    bool visible = false;
    std::string_view tail;  // "      texture { matN }\n   }\n"
};

class CLayerCache {
public:
    CLayerCache()
    {
        const int count = std::min(g_layerCount, kMaxLayers);
        m_tails.resize(static_cast<std::size_t>(count) + 1);
        for (int i = 0; i <= count; ++i) {
            const int texture = i == g_layerCount ? kUnmatchedTexture : i;
            m_tails[static_cast<std::size_t>(i)] = "      texture { mat" + std::to_string(texture) + " }\n   }\n";
        }
    }

    const CLayerOfFace& Find(const std::string& name)
    {
        if (m_valid && name == m_name) return m_last;
        const int i = m_lookup.Find(name);
        m_last.visible = IsLayerIndexVisible(i);
        const auto slot = static_cast<std::size_t>(i);
        m_last.tail = i >= 0 && slot < m_tails.size() ? std::string_view(m_tails[slot]) : std::string_view();
        m_name = name;
        m_valid = true;
        return m_last;
    }

private:
    CLayerLookup m_lookup;
    std::vector<std::string> m_tails;  // by layer index; the last one is for unmatched names
    std::string m_name;
    CLayerOfFace m_last;
    bool m_valid = false;
};

// A corner as POV-Ray reads it back from the scene text.
void ReadBackCorner(const float (&v)[3], double (&out)[3])
{
    const float pov[3] = {v[0], v[1], -v[2]};
    char text[kNumberRoom];
    for (int a = 0; a < 3; ++a) {
        char* end = FormatFloatFixed6(text, pov[a]);
        std::from_chars(text, end, out[a]);
    }
}

// POV-Ray keeps a triangle of a mesh only when the cross product of its edges, taken from the
// numbers as written, is not zero.
bool HasArea(const double (&p1)[3], const double (&p2)[3], const double (&p3)[3])
{
    double a[3], b[3];
    for (int i = 0; i < 3; ++i) {
        a[i] = p1[i] - p2[i];
        b[i] = p3[i] - p2[i];
    }
    return a[1] * b[2] - a[2] * b[1] != 0.0 || a[2] * b[0] - a[0] * b[2] != 0.0 || a[0] * b[1] - a[1] * b[0] != 0.0;
}

bool IsQuad(const CShape& shape)
{
    const auto& v = shape.m_vertex;
    return v[3][0] != v[2][0] || v[3][1] != v[2][1] || v[3][2] != v[2][2];
}

// Whether the mesh would keep a triangle; usually settled by the first face shown.
bool MeshHasATriangle(const CShapeList& shapes)
{
    CLayerCache layers;
    for (const CShape& shape : shapes) {
        if (!layers.Find(shape.m_layer).visible) continue;
        double p[4][3];
        const int corners = IsQuad(shape) ? 4 : 3;
        for (int k = 0; k < corners; ++k) ReadBackCorner(shape.m_vertex[k], p[k]);
        if (HasArea(p[0], p[1], p[2]) || (corners == 4 && HasArea(p[2], p[3], p[0]))) return true;
    }
    return false;
}

void WriteMesh(CPovText& text, const CShapeList& shapes, std::uint64_t& triangles)
{
    if (!MeshHasATriangle(shapes)) return;
    text.Put("mesh {\n");
    CLayerCache layers;
    CBufferedWriter& out = text.Raw();
    char corner[4][kCornerRoom];
    std::size_t length[4];
    for (const CShape& shape : shapes) {
        const CLayerOfFace& layer = layers.Find(shape.m_layer);
        if (!layer.visible) continue;
        const auto& v = shape.m_vertex;
        const bool quad = IsQuad(shape);
        const int corners = quad ? 4 : 3;
        for (int k = 0; k < corners; ++k)
            length[k] = static_cast<std::size_t>(FormatCorner(corner[k], v[k]) - corner[k]);
        const int order[2][3] = {{0, 1, 2}, {2, 3, 0}};
        for (int t = 0; t < (quad ? 2 : 1); ++t) {
            const int* c = order[t];
            out.Put("   triangle {\n      ");
            out.Put(corner[c[0]], length[c[0]]);
            out.Put(", ");
            out.Put(corner[c[1]], length[c[1]]);
            out.Put(", ");
            out.Put(corner[c[2]], length[c[2]]);
            out.Put("\n");
            out.Put(layer.tail);
        }
        triangles += quad ? 2 : 1;
    }
    text.Put("}\n");
}

}  // namespace

namespace {

// The scene up to the mesh, then the mesh inline or, with a `meshFile`, its include line.
bool WriteScene(CByteSink& sink, const CShapeList& shapes, PovVariant variant, const double sun[3],
                CPovSceneStats* stats, std::string_view meshFile)
{
    const CPovCamera camera = ComputePovCamera();
    CPovText text(sink);
    WriteHeader(text, variant);
    WriteCamera(text, camera);
    if (variant == PovVariant::Render) WriteLight(text, {sun[0], sun[1], sun[2]});
    WriteLight(text, camera.eye);
    text.Put("\n");
    WriteTextures(text, variant);
    std::uint64_t triangles = 0;
    if (meshFile.empty()) {
        WriteMesh(text, shapes, triangles);
    } else if (MeshHasATriangle(shapes)) {
        text.Put("#include \"");
        text.Put(meshFile);
        text.Put("\"\n");
    }
    if (stats) stats->triangles = triangles;
    return text.Finish();
}

}  // namespace

bool WritePovScene(CByteSink& sink, const CShapeList& shapes, PovVariant variant, const double sun[3],
                   CPovSceneStats* stats)
{
    return WriteScene(sink, shapes, variant, sun, stats, {});
}

bool WritePovSceneUsingMeshFile(CByteSink& sink, const CShapeList& shapes, const double sun[3],
                                std::string_view meshFile)
{
    return WriteScene(sink, shapes, PovVariant::Render, sun, nullptr, meshFile);
}

bool WritePovMesh(CByteSink& sink, const CShapeList& shapes, CPovSceneStats* stats)
{
    CPovText text(sink);
    std::uint64_t triangles = 0;
    WriteMesh(text, shapes, triangles);
    if (stats) stats->triangles = triangles;
    return text.Finish();
}

bool HasPovExtension(std::string_view path)
{
    return path.find(".pov") != std::string_view::npos || path.find(".POV") != std::string_view::npos;
}
