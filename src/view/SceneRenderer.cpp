// The frame, pass by pass, with the faces held in buffer objects instead of being sent one
// by one on every paint.
#define GL_GLEXT_PROTOTYPES 1
#include "view/SceneRenderer.h"

#include "interaction/MoveState.h"
#include "view/CameraState.h"
#include "view/Camera.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <chrono>

namespace {

// The selection outlines are drawn this much nearer in window depth (a few dozen steps of a
// 24-bit buffer): on a shared edge a neighbour's white outline, or a face rasterised a rounding
// nearer than the line, would otherwise cover stretches of the magenta. Anything farther in
// front than that still hides them.
constexpr double kOutlineLift = 1.0 / (1 << 18);

}  // namespace

void CSceneRenderer::Initialize()
{
    if (m_initialized) return;
    glGenBuffers(1, &m_vertexBuffer);
    glGenBuffers(kIndexBufferCount, m_indexBuffers);
    glGenBuffers(kIndexBufferCount, m_reducedBuffers);
    m_initialized = true;
    InvalidateGeometry();
}

void CSceneRenderer::Release()
{
    if (!m_initialized) return;
    glDeleteBuffers(1, &m_vertexBuffer);
    glDeleteBuffers(kIndexBufferCount, m_indexBuffers);
    glDeleteBuffers(kIndexBufferCount, m_reducedBuffers);
    m_vertexBuffer = 0;
    for (unsigned& b : m_indexBuffers) b = 0;
    for (unsigned& b : m_reducedBuffers) b = 0;
    m_initialized = false;
}

namespace {

// The largest faces a reduced frame can draw: enough for any share a reduced frame takes on a
// slow renderer, without holding a second index list as long as the whole model's.
constexpr std::size_t kReducedFacesAtLeast = 500000;

// A list this short (a thousand faces' triangles) is drawn whole in a reduced frame too: it
// costs little, and the selection stays in sight.
constexpr std::size_t kAlwaysWhole = 6144;

}  // namespace

void CSceneRenderer::UploadLists(CSceneBuffers& lists, const unsigned buffers[], std::size_t counts[])
{
    std::vector<uint32_t>* all[kIndexBufferCount] = {&lists.m_faces, &lists.m_selectedFaces, &lists.m_wireLines,
                                                     &lists.m_wireSelected, &lists.m_selectionLines};
    for (int i = 0; i < kIndexBufferCount; ++i) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[i]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(all[i]->size() * sizeof(uint32_t)),
                     all[i]->data(), GL_STATIC_DRAW);
        counts[i] = all[i]->size();
        *all[i] = {};
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void CSceneRenderer::Upload(const CShapeList& shapes, bool reduced)
{
    const auto start = std::chrono::steady_clock::now();
    const bool wireframe = g_shaded == 0;
    if (!m_geometryValid || !m_colorsValid) {
        // Vertices are written straight into the buffer object: no second copy of a model
        // that may hold millions of faces.
        glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
        const auto bytes = static_cast<GLsizeiptr>(shapes.size() * 4 * sizeof(CSceneVertex));
        if (!m_geometryValid) glBufferData(GL_ARRAY_BUFFER, bytes, nullptr, GL_STATIC_DRAW);
        bool written = false;
        if (bytes > 0) {
            const GLbitfield access = m_geometryValid ? GL_MAP_WRITE_BIT : (GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT);
            if (auto* mapped = static_cast<CSceneVertex*>(glMapBufferRange(GL_ARRAY_BUFFER, 0, bytes, access))) {
                m_geometryValid ? CSceneBuffers::WriteColors(shapes, mapped) : CSceneBuffers::WriteVertices(shapes, mapped);
                written = glUnmapBuffer(GL_ARRAY_BUFFER) == GL_TRUE;
            }
            if (!written) {  // mapping refused or the data was lost: upload a copy instead
                m_buffers.BuildVertices(shapes);
                glBufferData(GL_ARRAY_BUFFER, bytes, m_buffers.m_vertices.data(), GL_STATIC_DRAW);
                m_buffers.m_vertices = {};
            }
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        m_geometryValid = m_colorsValid = true;
    }
    if (!m_indicesValid || (wireframe && !m_wireBuilt)) {
        m_buffers.BuildIndices(shapes, wireframe);
        UploadLists(m_buffers, m_indexBuffers, m_indexCounts);
        m_indicesValid = true;
        m_wireBuilt = wireframe;
    }
    // The largest faces' lists are built only once a frame is to be reduced: a model that is
    // always drawn whole never needs them.
    if (reduced && (!m_reducedValid || (wireframe && !m_reducedWireBuilt))) {
        if (m_order.size() != shapes.size()) m_order = CSceneBuffers::OrderBySize(shapes);
        const std::size_t limit = std::max(kReducedFacesAtLeast, shapes.size() / 4);
        m_buffers.BuildIndicesInOrder(shapes, m_order, limit, wireframe);
        UploadLists(m_buffers, m_reducedBuffers, m_reducedCounts);
        m_reducedValid = true;
        m_reducedWireBuilt = wireframe;
    }
    m_uploadMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

bool CSceneRenderer::ChooseReduced(double share, unsigned buffers[kIndexBufferCount],
                                   std::size_t counts[kIndexBufferCount], double& drawnShare) const
{
    if (!(share < 1.0) || !m_reducedValid) return false;
    // The passes a frame draws in this display mode.
    const bool shaded = g_shaded == 1;
    const bool drawn[kIndexBufferCount] = {shaded, shaded, !shaded, !shaded, true};
    std::size_t whole = 0, part = 0;
    for (int i = 0; i < kIndexBufferCount; ++i) {
        const std::size_t all = drawn[i] ? m_indexCounts[i] : 0;
        if (all <= kAlwaysWhole) {
            buffers[i] = m_indexBuffers[i];
            counts[i] = all;
        } else {
            const std::size_t unit = (i == kFaces || i == kSelectedFaces) ? 3 : 2;  // a triangle, a line
            buffers[i] = m_reducedBuffers[i];
            counts[i] = std::min(static_cast<std::size_t>(share * double(all)) / unit * unit, m_reducedCounts[i]);
        }
        whole += all;
        part += counts[i];
    }
    if (part >= whole) return false;
    drawnShare = double(part) / double(whole);
    return true;
}

void CSceneRenderer::DrawGrid()
{
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    glBegin(GL_LINES);
    for (int x = -50000; x <= 50000; x += 5000) {
        glVertex3f(float(x), 0.0f, -50000.0f);
        glVertex3f(float(x), 0.0f, 50000.0f);
    }
    for (int z = -50000; z <= 50000; z += 5000) {
        glVertex3f(-50000.0f, 0.0f, float(z));
        glVertex3f(50000.0f, 0.0f, float(z));
    }
    glEnd();
    if (g_movingSelection == 1) {
        const double* t = g_moveTo;
        const double* f = g_moveFrom;
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
        glBegin(GL_LINES);
        glVertex3d(t[0] - 1000, t[1], t[2] - 1000);
        glVertex3d(t[0] + 1000, t[1], t[2] + 1000);
        glVertex3d(t[0] + 1000, t[1], t[2] - 1000);
        glVertex3d(t[0] - 1000, t[1], t[2] + 1000);
        glVertex3d(f[0], f[1], f[2]);
        glVertex3d(t[0], t[1], t[2]);
        glEnd();
    }
}

void CSceneRenderer::DrawLines(unsigned buffer, std::size_t count)
{
    if (count == 0) return;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    glDrawElements(GL_LINES, static_cast<GLsizei>(count), GL_UNSIGNED_INT, nullptr);
}

void CSceneRenderer::DrawTriangles(unsigned buffer, std::size_t count)
{
    if (count == 0) return;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_INT, nullptr);
}

void CSceneRenderer::Draw(const CShapeList& shapes, int w, int h, double share)
{
    if (!m_initialized) Initialize();
    Upload(shapes, share < 1.0);
    const auto start = std::chrono::steady_clock::now();
    // The lists and index counts of each pass: the whole model's, or its largest faces'.
    unsigned reducedLists[kIndexBufferCount];
    std::size_t reducedCounts[kIndexBufferCount];
    double drawnShare = 1.0;
    const bool reduced = ChooseReduced(share, reducedLists, reducedCounts, drawnShare);
    const unsigned* lists = reduced ? reducedLists : m_indexBuffers;
    const std::size_t* counts = reduced ? reducedCounts : m_indexCounts;

    // 1. Clear, depth test.
    glClearColor(0.0f, 0.3f, 0.3f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);

    // 2-3. Viewport and projection.
    glViewport(0, 0, w, h);
    double projection[16], modelview[16];
    SetUpFrame(w, h, projection, modelview);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(projection);

    // 4. Lighting in eye coordinates, so the light moves with the viewer.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const GLfloat globalAmbient[] = {0.4f, 0.4f, 0.4f, 1.0f};
    const GLfloat lightAmbient[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat lightDiffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat lightSpecular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat lightPosition[] = {0.0f, 0.0f, 1.0f, 0.0f};
    const GLfloat materialAmbient[] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat materialDiffuse[] = {0.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat materialSpecular[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, globalAmbient);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, lightSpecular);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT0);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, materialAmbient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, materialDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, materialSpecular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 32.0f);

    // 5. Camera.
    glLoadMatrixd(modelview);

    // 6. Line passes without lighting.
    glPushMatrix();
    glPushAttrib(GL_LIGHTING_BIT);
    glPushMatrix();
    glDisable(GL_LIGHTING);

    // 7. Grid and move marker.
    if (g_showGrid == 1) DrawGrid();

    glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(CSceneVertex), reinterpret_cast<void*>(offsetof(CSceneVertex, pos)));

    // 8. Wireframe pass: visible faces, white or magenta when selected.
    if (g_shaded == 0) {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        DrawLines(lists[kWireLines], counts[kWireLines]);
        glDepthRange(0.0, 1.0 - kOutlineLift);
        glColor4f(1.0f, 0.0f, 1.0f, 1.0f);
        DrawLines(lists[kWireSelected], counts[kWireSelected]);
    }
    // 9. Selection outlines, whatever the layer's visibility.
    glDepthRange(0.0, 1.0 - kOutlineLift);
    glColor4f(1.0f, 0.0f, 1.0f, 1.0f);
    DrawLines(lists[kSelectionLines], counts[kSelectionLines]);
    glDepthRange(0.0, 1.0);

    // 10. Faces, lit, in their layer colours; selected faces displaced during a pending move.
    glEnable(GL_LIGHTING);
    if (g_shaded == 1) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glNormalPointer(GL_FLOAT, sizeof(CSceneVertex), reinterpret_cast<void*>(offsetof(CSceneVertex, normal)));
        glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(CSceneVertex), reinterpret_cast<void*>(offsetof(CSceneVertex, color)));
        glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        DrawTriangles(lists[kFaces], counts[kFaces]);
        if (counts[kSelectedFaces] > 0) {
            if (g_movingSelection == 1) {
                glPushMatrix();
                glTranslatef(static_cast<float>(g_moveTo[0] - g_moveFrom[0]),
                             static_cast<float>(g_moveTo[1] - g_moveFrom[1]),
                             static_cast<float>(g_moveTo[2] - g_moveFrom[2]));
                DrawTriangles(lists[kSelectedFaces], counts[kSelectedFaces]);
                glPopMatrix();
            } else {
                DrawTriangles(lists[kSelectedFaces], counts[kSelectedFaces]);
            }
        }
        glDisable(GL_COLOR_MATERIAL);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    // 11. Read back what picking and the POV-Ray writers use.
    glGetDoublev(GL_MODELVIEW_MATRIX, g_modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, g_projection);
    glGetIntegerv(GL_VIEWPORT, g_viewport);

    // 12. Restore the stacks.
    glPopMatrix();
    glPopAttrib();
    glPopMatrix();
    glPopMatrix();
    glFinish();
    m_drawMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    m_drawnShare = drawnShare;
}
