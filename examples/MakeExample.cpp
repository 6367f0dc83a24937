// Writes the bundled example model: a few coloured boxes with pyramid roofs on three layers,
// one of them named in Shift-JIS as models from Japanese Windows are.
#include "model/Document.h"
#include "model/FileAccess.h"
#include "model/Globals.h"
#include "model/LayerTable.h"
#include "model/ModelFile.h"

#include <cmath>
#include <cstdio>

namespace {

void SetNormal(CShape& s, float nx, float ny, float nz)
{
    for (auto& n : s.m_normal) {
        n[0] = nx;
        n[1] = ny;
        n[2] = nz;
    }
}

void AddQuad(CMyvorla_ltDoc& doc, const float (&c)[4][3], float nx, float ny, float nz)
{
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) doc.m_curShape.m_vertex[k][a] = c[k][a];
    SetNormal(doc.m_curShape, nx, ny, nz);
    doc.AddShape();
}

// An axis-aligned box in the display frame (Y up), corners counter-clockwise seen from outside.
void AddBox(CMyvorla_ltDoc& doc, float x0, float y0, float z0, float x1, float y1, float z1)
{
    AddQuad(doc, {{x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}}, 0, 1, 0);
    AddQuad(doc, {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}}, 0, -1, 0);
    AddQuad(doc, {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}}, 0, 0, 1);
    AddQuad(doc, {{x1, y0, z0}, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}}, 0, 0, -1);
    AddQuad(doc, {{x1, y0, z1}, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}}, 1, 0, 0);
    AddQuad(doc, {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}}, -1, 0, 0);
}

void AddTriangle(CMyvorla_ltDoc& doc, const float (&a)[3], const float (&b)[3], const float (&c)[3])
{
    const float* corners[4] = {a, b, c, c};
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 3; ++i) doc.m_curShape.m_vertex[k][i] = corners[k][i];
    const double u[3] = {double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]};
    const double v[3] = {double(b[0]) - c[0], double(b[1]) - c[1], double(b[2]) - c[2]};
    double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    SetNormal(doc.m_curShape, float(n[0] / len), float(n[1] / len), float(n[2] / len));
    doc.AddShape();
}

// A four-sided pyramid roof over the box top (x0..x1, z0..z1) at height y, apex h higher.
void AddRoof(CMyvorla_ltDoc& doc, float x0, float z0, float x1, float z1, float y, float h)
{
    const float apex[3] = {(x0 + x1) / 2, y + h, (z0 + z1) / 2};
    const float p0[3] = {x0, y, z1}, p1[3] = {x1, y, z1}, p2[3] = {x1, y, z0}, p3[3] = {x0, y, z0};
    AddTriangle(doc, p0, p1, apex);
    AddTriangle(doc, p1, p2, apex);
    AddTriangle(doc, p2, p3, apex);
    AddTriangle(doc, p3, p0, apex);
}

void SetLayer(CMyvorla_ltDoc& doc, const std::string& name, double r, double g, double b)
{
    AddLayer(name);
    const int i = FindLayer(name);
    g_layerAttr[i][kRed] = r;
    g_layerAttr[i][kGreen] = g;
    g_layerAttr[i][kBlue] = b;
    doc.SetCurLayer(name);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-example OUT.vrl\n");
        return 2;
    }
    ResetGlobals();
    InitViewDefaults();
    CMyvorla_ltDoc doc;
    doc.m_curShape.m_kind = CShape::kFace;
    for (float& c : doc.m_curShape.m_color) c = 1.0f;

    SetLayer(doc, "Ground", 0.55, 0.6, 0.5);
    AddBox(doc, -30000, -500, -20000, 30000, 0, 20000);

    SetLayer(doc, "\x95\xC7", 0.85, 0.55, 0.35);  // "壁" (walls) in Shift-JIS
    AddBox(doc, -22000, 0, -12000, -8000, 9000, 4000);
    AddBox(doc, -2000, 0, -14000, 10000, 16000, -2000);
    AddBox(doc, 14000, 0, 2000, 24000, 6000, 14000);

    SetLayer(doc, "Roof", 0.3, 0.4, 0.8);
    g_layerTexture[FindLayer("Roof")] = "T_Stone8 scale 100";
    AddRoof(doc, -22000, -12000, -8000, 4000, 9000, 5000);
    AddRoof(doc, 14000, 2000, 24000, 14000, 6000, 4000);

    std::string error;
    if (!WriteFileAtomically(argv[1], [&](CByteSink& sink) { return WriteModelFile(sink, doc.m_shapeList); },
                             error)) {
        std::fprintf(stderr, "make-example: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
