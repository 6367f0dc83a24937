// Fuzz target of model insertion into a model that already holds faces and layers. A failed
// insertion leaves everything as it was: faces, selection flags, layer table, scene settings,
// modified flag and move state. A successful one appends exactly the file's faces, selected,
// deselects the old ones, adds only new layer names up to 99 layers, and starts the move.
#include "FuzzSupport.h"

#include "import/ModelInsert.h"
#include "model/Globals.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void AddFace(CMyvorla_ltDoc& doc, const std::string& layer, float x, int selected)
{
    CShape& cur = doc.m_curShape;
    cur.m_kind = CShape::kFace;
    cur.m_selected = selected;
    cur.m_layer = layer;
    const float corners[4][3] = {{x, 0, 0}, {x + 10, 0, 0}, {x + 10, 5, 0}, {x, 5, 0}};
    std::copy(&corners[0][0], &corners[0][0] + 12, &cur.m_vertex[0][0]);
    for (auto& n : cur.m_normal) n[0] = 0, n[1] = 0, n[2] = 1;
    cur.m_color[0] = x / 100;
    doc.AddShape();
}

// Two shapes of model: a few layers (one of them "A", a name test files often use), or a table
// already holding 99 layers, so that no layer can be added.
void MakeBaseModel(CMyvorla_ltDoc& doc, bool fullTable)
{
    const int layers = fullTable ? kAddLayerLimit : 3;
    const char* const names[] = {"A", "Walls", ""};
    for (int i = 0; i < layers; ++i) {
        g_layerName[i] = i < 3 ? names[i] : "L" + std::to_string(i);
        for (int a = 0; a < kLayerAttrCount; ++a) g_layerAttr[i][a] = 0.25 * (a + 1) + i;
        g_layerTexture[i] = "T" + std::to_string(i);
    }
    g_layerTexture[layers] = "left from an earlier model";
    g_layerCount = layers;
    AddFace(doc, "A", 0, 1);
    AddFace(doc, "Walls", 20, 0);
    AddFace(doc, "not a layer", 40, 1);
    doc.m_shapeList[1].m_reserved[2] = 7.5f;
    g_sky = "S_Sunset";
    g_moveTo[0] = 3, g_moveTo[2] = -4;
    doc.SetModifiedFlag(false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ResetGlobals();
    InitViewDefaults();
    CMyvorla_ltDoc doc;
    MakeBaseModel(doc, size % 2 == 1);

    const std::vector<CShape> facesBefore = doc.m_shapeList;
    const std::string modelBefore = SavedModel(doc.m_shapeList);
    const std::string tablesBefore = TableSnapshot();
    const std::string scratchBefore = ShapeBytes(doc.m_curShape);
    const int layersBefore = g_layerCount;
    std::vector<std::string> namesBefore(g_layerName, g_layerName + kMaxLayers);
    std::vector<std::string> texturesBefore(g_layerTexture, g_layerTexture + kTextureSlots);
    double attrBefore[kMaxLayers][kLayerAttrCount];
    std::memcpy(attrBefore, g_layerAttr, sizeof attrBefore);

    CMemorySource source(data, size);
    const CInsertResult result = InsertModel(source, doc, size);
    FUZZ_CHECK(result.ok == result.error.empty());
    if (!result.ok) {
        FUZZ_CHECK(!result.startMoveTracking);
        FUZZ_CHECK(SavedModel(doc.m_shapeList) == modelBefore);
        FUZZ_CHECK(TableSnapshot() == tablesBefore);
        FUZZ_CHECK(ShapeBytes(doc.m_curShape) == scratchBefore);
        FUZZ_CHECK(!doc.IsModified());
        FUZZ_CHECK(doc.m_shapeList.size() == facesBefore.size());
        for (std::size_t i = 0; i < facesBefore.size(); ++i)
            FUZZ_CHECK(ShapeBytes(doc.m_shapeList[i]) == ShapeBytes(facesBefore[i]));
        return 0;
    }

    // What the file holds, read on its own.
    CModelFileContent file;
    CMemorySource again(data, size);
    CModelReadOptions options;
    options.stopOnVersionMismatch = false;
    FUZZ_CHECK(ReadModelFile(again, file, options).empty());
    FUZZ_CHECK(file.shapes.size() * kSmallestFaceBytes <= size);

    // Old faces deselected and otherwise untouched; the file's faces after them, selected,
    // without their reserved values.
    FUZZ_CHECK(result.shapesInserted == file.shapes.size());
    FUZZ_CHECK(doc.m_shapeList.size() == facesBefore.size() + file.shapes.size());
    for (std::size_t i = 0; i < facesBefore.size(); ++i) {
        CShape want = facesBefore[i];
        want.m_selected = 0;
        FUZZ_CHECK(ShapeBytes(doc.m_shapeList[i]) == ShapeBytes(want));
    }
    for (std::size_t i = 0; i < file.shapes.size(); ++i) {
        CShape want = file.shapes[i];
        want.m_selected = 1;
        std::fill(std::begin(want.m_reserved), std::end(want.m_reserved), 0.0f);
        FUZZ_CHECK(ShapeBytes(doc.m_shapeList[facesBefore.size() + i]) == ShapeBytes(want));
    }
    FUZZ_CHECK(doc.IsModified() == !file.shapes.empty());

    // Old layers as they were; the file's new names in file order, once each, up to 99.
    std::vector<std::string> wantNames(namesBefore.begin(), namesBefore.begin() + layersBefore);
    std::vector<const CLayerEntry*> added;
    for (const CLayerEntry& entry : file.layers) {
        if (std::find(wantNames.begin(), wantNames.end(), entry.name) != wantNames.end()) continue;
        if (wantNames.size() >= static_cast<std::size_t>(kAddLayerLimit)) continue;
        wantNames.push_back(entry.name);
        added.push_back(&entry);
    }
    FUZZ_CHECK(g_layerCount == static_cast<int>(wantNames.size()));
    FUZZ_CHECK(result.layersAdded == static_cast<int>(added.size()));
    for (int i = 0; i < g_layerCount; ++i) {
        FUZZ_CHECK(g_layerName[i] == wantNames[i]);
        const double* want = i < layersBefore ? attrBefore[i] : added[i - layersBefore]->attr;
        FUZZ_CHECK(std::memcmp(g_layerAttr[i], want, sizeof g_layerAttr[i]) == 0);
    }
    for (int i = g_layerCount; i < kMaxLayers; ++i) {
        FUZZ_CHECK(g_layerName[i] == namesBefore[i]);
        FUZZ_CHECK(std::memcmp(g_layerAttr[i], attrBefore[i], sizeof g_layerAttr[i]) == 0);
    }
    FUZZ_CHECK(std::equal(texturesBefore.begin(), texturesBefore.end(), g_layerTexture));

    // Scene settings kept; the move pending from the origin, its end point kept.
    FUZZ_CHECK(g_sky == "S_Sunset");
    FUZZ_CHECK(result.startMoveTracking);
    FUZZ_CHECK(g_movingSelection == 1);
    FUZZ_CHECK(g_moveFrom[0] == 0 && g_moveFrom[1] == 0 && g_moveFrom[2] == 0);
    FUZZ_CHECK(g_moveTo[0] == 3 && g_moveTo[1] == 0 && g_moveTo[2] == -4);
    return 0;
}
