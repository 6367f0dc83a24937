// Document operations that change the face list.
#include "model/Document.h"

#include "interaction/MoveState.h"

#include <algorithm>

void CMyvorla_ltDoc::AddShape()
{
    m_shapeList.emplace_back().CopyAllButReserved(m_curShape);
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
