// Model insertion: read everything, then merge, so a damaged file never half-merges.
#include "import/ModelInsert.h"

#include "interaction/MoveState.h"
#include "model/LayerTable.h"
#include "model/ModelEdits.h"
#include "model/ModelFile.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <optional>
#include <string>

namespace {

void ClearSelection(CShapeList& shapes)
{
    for (CShape& shape : shapes) shape.m_selected = 0;
}

// A name already in use keeps its own values; a new one takes the file's six values.
int MergeLayers(const std::vector<CLayerEntry>& layers)
{
    int added = 0;
    for (const CLayerEntry& entry : layers) {
        if (FindLayer(entry.name) < g_layerCount) continue;
        if (g_layerCount >= kAddLayerLimit) continue;
        const int i = g_layerCount;
        g_layerName[i] = entry.name;
        std::copy(std::begin(entry.attr), std::end(entry.attr), g_layerAttr[i]);
        ++g_layerCount;
        ++added;
    }
    return added;
}

// Through the scratch face, as every producer adds faces: m_reserved is not carried over and
// the file's selection flag is replaced by 1.
void AppendShapes(CShapeList& shapes, CMyvorla_ltDoc& doc)
{
    CShape& cur = doc.m_curShape;
    for (CShape& shape : shapes) {
        cur.m_kind = shape.m_kind;
        cur.m_selected = 1;
        doc.SetCurLayer(std::move(shape.m_layer));
        std::memcpy(cur.m_color, shape.m_color, sizeof cur.m_color);
        std::memcpy(cur.m_vertex, shape.m_vertex, sizeof cur.m_vertex);
        std::memcpy(cur.m_normal, shape.m_normal, sizeof cur.m_normal);
        doc.AddShape();
    }
}

}  // namespace

CInsertAside ReadInsertion(CByteSource& source, std::uint64_t sizeHint)
{
    CInsertAside aside;
    CModelReadOptions options;
    options.stopOnVersionMismatch = false;
    options.sizeHint = sizeHint;
    ReadModelFile(source, aside.content, options);
    return aside;
}

CInsertResult ApplyInsertion(CInsertAside&& aside, CMyvorla_ltDoc& doc, std::unique_ptr<CEditSequence>* record)
{
    CInsertResult result;
    result.problem = aside.content.problem;
    result.error = result.problem.English();
    if (result.problem.Failed()) return result;
    CModelFileContent& content = aside.content;
    // The one large allocation comes before anything changes, so that a model too large for
    // the memory is refused with the document untouched.
    try {
        doc.m_shapeList.reserve(doc.m_shapeList.size() + content.shapes.size());
    } catch (const std::bad_alloc&) {
        result.problem = CFileProblem::Of(EFileProblem::kNoMemoryToAdd, std::int64_t(content.shapes.size()));
        result.error = result.problem.English();
        return result;
    }

    std::unique_ptr<CEditSequence> sequence;
    std::optional<CLayerTableState> layersBefore;
    if (record) {
        sequence = std::make_unique<CEditSequence>();
        sequence->Add(CSelectionClear::Clear(doc.m_shapeList));
        layersBefore = CLayerTableState::Capture();
    } else {
        ClearSelection(doc.m_shapeList);
    }
    const std::size_t first = doc.m_shapeList.size();
    result.layersAdded = MergeLayers(content.layers);
    result.shapesInserted = content.shapes.size();
    AppendShapes(content.shapes, doc);
    if (record) {
        auto layers = std::make_unique<CLayerTableChange>(*layersBefore, CLayerTableState::Capture());
        if (!layers->Empty()) sequence->Add(std::move(layers));
        sequence->Add(std::make_unique<CFaceAppend>(first));
        *record = std::move(sequence);
    }

    g_movingSelection = 1;
    std::fill(std::begin(g_moveFrom), std::end(g_moveFrom), 0.0);
    result.startMoveTracking = true;
    result.ok = true;
    return result;
}

CInsertResult InsertModel(CByteSource& source, CMyvorla_ltDoc& doc, std::uint64_t sizeHint)
{
    return ApplyInsertion(ReadInsertion(source, sizeHint), doc);
}
