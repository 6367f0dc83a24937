// Document operations that change the face list.
#include "model/Document.h"

#include "interaction/MoveState.h"

#include <algorithm>
#include <cstring>

void CMyvorla_ltDoc::AddShape()
{
    CShape& shape = m_shapeList.emplace_back();
    shape.m_kind = m_curShape.m_kind;
    shape.m_selected = m_curShape.m_selected;
    shape.m_layer = m_curShape.m_layer;
    std::memcpy(shape.m_color, m_curShape.m_color, sizeof shape.m_color);
    std::memcpy(shape.m_vertex, m_curShape.m_vertex, sizeof shape.m_vertex);
    std::memcpy(shape.m_normal, m_curShape.m_normal, sizeof shape.m_normal);
    SetModifiedFlag(true);
}

bool CMyvorla_ltDoc::OnNewDocument()
{
    g_movingSelection = 0;
    m_shapeList.clear();
    m_shapeList.shrink_to_fit();
    m_modified = false;
    return true;
}

std::size_t CMyvorla_ltDoc::RemoveSelected()
{
    const auto end = std::remove_if(m_shapeList.begin(), m_shapeList.end(),
                                    [](const CShape& s) { return s.m_selected == 1; });
    const std::size_t removed = static_cast<std::size_t>(m_shapeList.end() - end);
    m_shapeList.erase(end, m_shapeList.end());
    return removed;
}
