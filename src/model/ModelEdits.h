// Records of the model's changes that undo and redo them exactly. Each holds only what its
// change touched (the faces a cut removed with their positions, the corners a move replaced,
// the layer slots a dialog changed) and puts back the very bytes that were there.
#pragma once

#include "model/Document.h"
#include "model/LayerTable.h"

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Between an undo and the redo that follows it only the selection may change (it is not a step
// of its own); every record copes with that by taking what it overwrites anew each time.
class CModelEdit {
public:
    virtual ~CModelEdit() = default;
    virtual void Undo(CMyvorla_ltDoc& doc) = 0;
    virtual void Redo(CMyvorla_ltDoc& doc) = 0;
    // Bytes the record holds now beyond its own size.
    virtual std::size_t Bytes() const = 0;
};

// Cut: the faces removed, each with its position in the list before the removal.
class CFaceRemoval : public CModelEdit {
public:
    // Removes every selected face, whatever its layer, in one pass, keeping the order of the rest.
    static std::unique_ptr<CFaceRemoval> RemoveSelected(CShapeList& shapes);
    std::size_t Count() const { return m_indices.size(); }
    void Undo(CMyvorla_ltDoc& doc) override;
    void Redo(CMyvorla_ltDoc& doc) override;
    std::size_t Bytes() const override;

private:
    std::vector<std::size_t> m_indices;  // ascending
    CShapeList m_faces;                  // the removed faces while they are out of the model
};

// A move: the corners of the faces it moved. Undo and redo both exchange the corners held
// with those in the model.
class CCornerSwap : public CModelEdit {
public:
    // Notes a face's corners before they are changed.
    void Add(std::size_t index, const float corners[4][3]);
    std::size_t Count() const { return m_indices.size(); }
    void Undo(CMyvorla_ltDoc& doc) override { Swap(doc.m_shapeList); }
    void Redo(CMyvorla_ltDoc& doc) override { Swap(doc.m_shapeList); }
    std::size_t Bytes() const override;

private:
    void Swap(CShapeList& shapes);
    std::vector<std::size_t> m_indices;
    std::vector<std::array<float, 12>> m_corners;
};

// Faces appended at the end of the list (a sphere, an insertion).
class CFaceAppend : public CModelEdit {
public:
    explicit CFaceAppend(std::size_t firstIndex) : m_first(firstIndex) {}
    void Undo(CMyvorla_ltDoc& doc) override;
    void Redo(CMyvorla_ltDoc& doc) override;
    std::size_t Bytes() const override;

private:
    std::size_t m_first;  // the list's size before the faces came
    CShapeList m_faces;   // the faces while they are out of the model
};

// Every face deselected (before an insertion): the faces that were selected, with their flags.
class CSelectionClear : public CModelEdit {
public:
    static std::unique_ptr<CSelectionClear> Clear(CShapeList& shapes);
    void Undo(CMyvorla_ltDoc& doc) override;
    void Redo(CMyvorla_ltDoc& doc) override;
    std::size_t Bytes() const override;

private:
    void Capture(CShapeList& shapes);
    std::vector<std::size_t> m_indices;
    std::vector<int32_t> m_flags;
};

// The whole layer table: the count and every slot's name, six values and texture text.
struct CLayerTableState {
    int count = 0;
    std::array<std::string, kMaxLayers> names;
    std::array<std::array<double, kLayerAttrCount>, kMaxLayers> attrs{};
    std::array<std::string, kTextureSlots> textures;

    static CLayerTableState Capture();
};

// The slots of the layer table that changed, with their values before and after.
class CLayerTableChange : public CModelEdit {
public:
    CLayerTableChange(const CLayerTableState& before, const CLayerTableState& after);
    bool Empty() const { return m_countBefore == m_countAfter && m_slots.empty(); }
    // Whether a layer was shown or hidden, and whether anything else of a layer changed.
    bool ChangesVisibility() const;
    bool ChangesMoreThanVisibility() const;
    void Undo(CMyvorla_ltDoc&) override { Store(false); }
    void Redo(CMyvorla_ltDoc&) override { Store(true); }
    std::size_t Bytes() const override;

private:
    struct CSlot {
        int index;
        bool hasLayer;  // below kMaxLayers: name and values; every slot has a texture
        std::string name[2], texture[2];
        std::array<double, kLayerAttrCount> attr[2];
    };
    void Store(bool after) const;
    int m_countBefore, m_countAfter;
    std::vector<CSlot> m_slots;
};

// The six scene settings.
struct CSceneSettingsState {
    std::string sky, ground;
    double north = 0, season = 0, latitude = 0, hour = 0;

    static CSceneSettingsState Capture();
    void Store() const;
    // Byte for byte, so that -0.0 differs from 0.0.
    bool SameAs(const CSceneSettingsState& other) const;
};

class CSceneSettingsChange : public CModelEdit {
public:
    CSceneSettingsChange(CSceneSettingsState before, CSceneSettingsState after)
        : m_before(std::move(before)), m_after(std::move(after)) {}
    bool Empty() const { return m_before.SameAs(m_after); }
    void Undo(CMyvorla_ltDoc&) override { m_before.Store(); }
    void Redo(CMyvorla_ltDoc&) override { m_after.Store(); }
    std::size_t Bytes() const override;

private:
    CSceneSettingsState m_before, m_after;
};

// A new model in place of the old one (a DXF import): the other model's faces, and the layer
// table and scene settings before and after.
class CModelReplacement : public CModelEdit {
public:
    // Takes the document's faces out, lets `replace` fill the document and the tables anew,
    // and keeps what was there.
    static std::unique_ptr<CModelReplacement> Replace(CMyvorla_ltDoc& doc,
                                                      const std::function<void(CMyvorla_ltDoc&)>& replace);
    void Undo(CMyvorla_ltDoc& doc) override;
    void Redo(CMyvorla_ltDoc& doc) override;
    std::size_t Bytes() const override;

private:
    CModelReplacement(const CLayerTableState& before, const CLayerTableState& after, CSceneSettingsState sceneBefore,
                      CSceneSettingsState sceneAfter);
    CShapeList m_other;  // the faces of the model not shown
    CLayerTableChange m_layers;
    CSceneSettingsChange m_scene;
};

// Records undone in the reverse of their order, redone in their order.
class CEditSequence : public CModelEdit {
public:
    void Add(std::unique_ptr<CModelEdit> edit)
    {
        if (edit) m_edits.push_back(std::move(edit));
    }
    void Undo(CMyvorla_ltDoc& doc) override;
    void Redo(CMyvorla_ltDoc& doc) override;
    std::size_t Bytes() const override;

private:
    std::vector<std::unique_ptr<CModelEdit>> m_edits;
};

// Runs `add`, which appends faces and may add layers (the sphere), and returns its record.
std::unique_ptr<CEditSequence> RecordFacesAdded(CMyvorla_ltDoc& doc, const std::function<void()>& add);
