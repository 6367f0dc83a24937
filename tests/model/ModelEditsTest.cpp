// Undo and redo of every kind of change: undo gives back the model exactly as it was, bit for
// bit, and redo exactly as the change left it, however often, and a change's record holds what
// the change touched, not the model.
#include "model/ModelEdits.h"

#include "import/DxfReader.h"
#include "import/ModelInsert.h"
#include "interaction/Editing.h"
#include "interaction/MoveState.h"
#include "model/Globals.h"
#include "model/ModelFile.h"
#include "model/SceneSettings.h"
#include "view/Sphere.h"

#include "ShapeBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

// Everything a change may touch, as bytes: every face, every slot of the layer table, the
// scene settings.
std::string ModelState(const CMyvorla_ltDoc& doc)
{
    std::string out;
    AppendBytes(out, doc.m_shapeList.size());
    for (const CShape& shape : doc.m_shapeList) out += ShapeBytes(shape);
    AppendBytes(out, g_layerCount);
    for (int i = 0; i < kMaxLayers; ++i) {
        AppendText(out, g_layerName[i]);
        AppendBytes(out, g_layerAttr[i]);
    }
    for (const std::string& texture : g_layerTexture) AppendText(out, texture);
    AppendText(out, g_sky);
    AppendText(out, g_ground);
    for (double value : {g_north, g_season, g_latitude, g_hour}) AppendBytes(out, value);
    return out;
}

// Faces whose corners do not survive x + d - d in float: 0.1, 1e-3 and a large value.
void FillModel(CMyvorla_ltDoc& doc, int faces)
{
    AddLayer("A");
    AddLayer("B");
    g_layerTexture[0] = "T_Wood1 scale 100";
    g_layerTexture[2] = "left over";
    for (int i = 0; i < faces; ++i) {
        CShape& s = doc.m_shapeList.emplace_back();
        s.m_kind = 3;
        s.m_selected = i % 3 == 0 ? 1 : (i % 7 == 0 ? 5 : 0);  // 5: a stray flag from a file
        s.m_layer = i % 2 ? "A" : "B";
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a) s.m_vertex[k][a] = 0.1f * float(i + k) + 1e-3f * float(a) + (a == 2 ? 12345.678f : 0);
        for (int r = 0; r < 6; ++r) s.m_reserved[r] = float(r) * -0.5f;
        s.m_normal[0][1] = std::nanf("");
    }
}

std::string DxfText()
{
    return "0\nSECTION\n2\nENTITIES\n"
           "0\n3DFACE\n8\nWalls\n10\n0.3\n20\n0\n30\n0\n11\n100.7\n21\n0\n31\n0\n12\n100\n22\n100\n32\n0\n13\n0\n23\n100\n33\n0\n"
           "0\n3DFACE\n8\nRoof\n10\n0\n20\n0\n30\n5\n11\n50\n21\n0\n31\n5\n12\n50\n22\n50\n32\n5\n13\n0\n23\n50\n33\n5\n"
           "0\nENDSEC\n0\nEOF\n";
}

// A model file with the layers "B" (which the model has) and "New", made from a scratch table.
std::string InsertedFile()
{
    const CLayerTableState table = CLayerTableState::Capture();
    CMyvorla_ltDoc other;
    g_layerCount = 0;
    AddLayer("B");
    AddLayer("New");
    g_layerAttr[1][kRed] = 0.25;
    FillModel(other, 5);
    CStringSink sink;
    WriteModelFile(sink, other.m_shapeList);
    CLayerTableChange(CLayerTableState::Capture(), table).Redo(other);
    return sink.m_bytes;
}

// Where two states first differ, instead of the whole bytes.
std::string Difference(const std::string& got, const std::string& want)
{
    if (got == want) return {};
    std::size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
    return "the states differ from byte " + std::to_string(at) + " (sizes " + std::to_string(got.size()) + " and " +
           std::to_string(want.size()) + ")";
}

struct SChange {
    const char* name;
    std::function<std::unique_ptr<CModelEdit>(CMyvorla_ltDoc&)> make;
    std::function<void()> prepare = [] {};  // before the state the undo must give back
};

std::vector<SChange> Changes()
{
    return {
        {"cut", [](CMyvorla_ltDoc& doc) -> std::unique_ptr<CModelEdit> {
             std::unique_ptr<CFaceRemoval> record;
             CutSelected(doc, &record);
             return record;
         }},
        {"move", [](CMyvorla_ltDoc& doc) -> std::unique_ptr<CModelEdit> {
             g_moveFrom[0] = 0.3, g_moveFrom[1] = 0, g_moveFrom[2] = -7.7;
             g_moveTo[0] = 1e-4, g_moveTo[1] = 2000, g_moveTo[2] = 1e7;
             auto record = std::make_unique<CCornerSwap>();
             EXPECT_GT(MoveSelectedShapes(doc.m_shapeList, record.get()), 0u);
             return record;
         },
         [] { g_layerAttr[1][kVisible] = 0.0; }},  // "B" hidden: its selected faces stay
        {"sphere", [](CMyvorla_ltDoc& doc) -> std::unique_ptr<CModelEdit> {
             return RecordFacesAdded(doc, [&] { AddSphere(doc); });
         }},
        {"insert", [](CMyvorla_ltDoc& doc) -> std::unique_ptr<CModelEdit> {
             const std::string file = InsertedFile();
             CMemorySource source(file);
             std::unique_ptr<CEditSequence> record;
             EXPECT_TRUE(ApplyInsertion(ReadInsertion(source), doc, &record).ok);
             return record;
         }},
        {"dxf-import", [](CMyvorla_ltDoc& doc) -> std::unique_ptr<CModelEdit> {
             const std::string text = DxfText();
             CMemorySource source(text);
             CDxfImportAside aside = ReadDxfAside(source);
             return CModelReplacement::Replace(doc, [&](CMyvorla_ltDoc& d) { ApplyDxfImport(std::move(aside), d); });
         }},
        {"layers", [](CMyvorla_ltDoc&) -> std::unique_ptr<CModelEdit> {
             const CLayerTableState before = CLayerTableState::Capture();
             g_layerAttr[0][kVisible] = 0.0;
             g_layerAttr[1][kRed] = -0.0;
             g_layerTexture[1] = "T_Glass1";
             return std::make_unique<CLayerTableChange>(before, CLayerTableState::Capture());
         }},
        {"render-settings", [](CMyvorla_ltDoc&) -> std::unique_ptr<CModelEdit> {
             CSceneSettingsState before = CSceneSettingsState::Capture();
             g_sky = "pigment { Clouds} ";
             g_season = -30.0;
             g_north = 45.0;
             return std::make_unique<CSceneSettingsChange>(std::move(before), CSceneSettingsState::Capture());
         }},
    };
}

}  // namespace

TEST(ModelEdits, UndoAndRedoGiveBackTheExactStatesEveryTime)
{
    for (const SChange& change : Changes()) {
        SCOPED_TRACE(change.name);
        ResetGlobals();
        CMyvorla_ltDoc doc;
        FillModel(doc, 40);
        change.prepare();
        const std::string before = ModelState(doc);
        std::unique_ptr<CModelEdit> record = change.make(doc);
        ASSERT_TRUE(record);
        const std::string after = ModelState(doc);
        ASSERT_NE(after, before);
        for (int round = 0; round < 3; ++round) {
            record->Undo(doc);
            EXPECT_EQ(Difference(ModelState(doc), before), "") << "undo, round " << round;
            record->Redo(doc);
            EXPECT_EQ(Difference(ModelState(doc), after), "") << "redo, round " << round;
        }
    }
}

// The selection is no step of its own, so it may change between an undo and a redo; the redo
// then keeps the new flags for the next undo to give back.
TEST(ModelEdits, SelectionChangedBetweenUndoAndRedoComesBackAtTheNextUndo)
{
    for (const SChange& change : Changes()) {
        SCOPED_TRACE(change.name);
        ResetGlobals();
        CMyvorla_ltDoc doc;
        FillModel(doc, 40);
        change.prepare();
        std::unique_ptr<CModelEdit> record = change.make(doc);
        record->Undo(doc);
        for (CShape& shape : doc.m_shapeList) shape.m_selected = shape.m_selected ? 0 : 1;
        const std::string reselected = ModelState(doc);
        record->Redo(doc);
        record->Undo(doc);
        EXPECT_EQ(Difference(ModelState(doc), reselected), "");
    }
}

// Undoing a cut of a few faces of a big model must not hold a copy of the model, and neither
// must a move of a few faces.
TEST(ModelEdits, ARecordHoldsWhatItsChangeTouched)
{
    CMyvorla_ltDoc doc;
    doc.m_shapeList.resize(200000);
    for (std::size_t i = 0; i < 10; ++i) doc.m_shapeList[i * 19997].m_selected = 1;
    std::unique_ptr<CFaceRemoval> cut;
    CutSelected(doc, &cut);
    EXPECT_EQ(cut->Count(), 10u);
    EXPECT_LT(cut->Bytes(), 4096u);
    cut->Undo(doc);
    EXPECT_LT(cut->Bytes(), sizeof(CShape)) << "no faces held while they are in the model";

    AddLayer("");
    g_moveTo[0] = 5;
    CCornerSwap move;
    EXPECT_EQ(MoveSelectedShapes(doc.m_shapeList, &move), 10u);
    EXPECT_LT(move.Bytes(), 1024u);
}
