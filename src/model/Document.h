// The document: the model's face list, the scratch face through which producers add faces,
// and the modified flag. The layer table and scene settings are process-wide (LayerTable.h).
#pragma once

#include "model/Shape.h"

#include <cstddef>
#include <string>

class CMyvorla_ltDoc {
public:
    CShapeList m_shapeList;
    CShape m_curShape;  // producers fill it and call AddShape; it keeps its values between calls

    CShapeList& GetShapeList() { return m_shapeList; }
    const CShapeList& GetShapeList() const { return m_shapeList; }

    void SetCurLayer(std::string name) { m_curShape.SetLayer(std::move(name)); }
    std::string GetCurLayer() const { return m_curShape.GetLayer(); }

    // Appends a copy of the scratch face (all but m_reserved) and marks the model modified.
    void AddShape();

    // File > New: ends a pending move and removes every face. Layers and scene settings stay.
    bool OnNewDocument();

    // Removes every selected face, keeping the order of the rest, in one pass.
    // Returns the number removed.
    std::size_t RemoveSelected();

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }

private:
    bool m_modified = false;
};
