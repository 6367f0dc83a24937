// The document's face list: adding through the scratch face, removing the selection, New.
#include "interaction/MoveState.h"
#include "model/Document.h"
#include "model/LayerTable.h"

#include <gtest/gtest.h>

TEST(Document, AddShapeCopiesEverythingButReservedAndMarksModified)
{
    CMyvorla_ltDoc doc;
    doc.m_curShape.m_kind = 3;
    doc.m_curShape.m_selected = 1;
    doc.SetCurLayer("Walls");
    doc.m_curShape.m_color[1] = 0.5f;
    doc.m_curShape.m_reserved[2] = 7.0f;
    doc.m_curShape.m_vertex[3][2] = -4.0f;
    doc.m_curShape.m_normal[0][1] = 1.0f;
    EXPECT_FALSE(doc.IsModified());

    doc.AddShape();
    doc.AddShape();

    ASSERT_EQ(doc.m_shapeList.size(), 2u);
    EXPECT_TRUE(doc.IsModified());
    const CShape& s = doc.m_shapeList[0];
    EXPECT_EQ(s.m_kind, 3);
    EXPECT_EQ(s.m_selected, 1);
    EXPECT_EQ(s.GetLayer(), "Walls");
    EXPECT_EQ(s.m_color[1], 0.5f);
    EXPECT_EQ(s.m_reserved[2], 0.0f);
    EXPECT_EQ(s.m_vertex[3][2], -4.0f);
    EXPECT_EQ(s.m_normal[0][1], 1.0f);
    EXPECT_EQ(doc.m_shapeList[0], doc.m_shapeList[1]);
    EXPECT_EQ(doc.GetCurLayer(), "Walls");
}

TEST(Document, RemoveSelectedKeepsTheOrderOfTheRest)
{
    CMyvorla_ltDoc doc;
    for (int i = 0; i < 10; ++i) {
        doc.m_curShape.m_vertex[0][0] = float(i);
        doc.m_curShape.m_selected = (i % 3 == 0) ? 1 : 0;
        doc.AddShape();
    }
    EXPECT_EQ(doc.RemoveSelected(), 4u);
    std::vector<float> left;
    for (const CShape& s : doc.m_shapeList) left.push_back(s.m_vertex[0][0]);
    EXPECT_EQ(left, (std::vector<float>{1, 2, 4, 5, 7, 8}));
}

TEST(Document, NewDocumentRemovesFacesButKeepsLayersAndEndsAMove)
{
    CMyvorla_ltDoc doc;
    AddLayer("A");
    doc.AddShape();
    g_movingSelection = 1;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.m_shapeList.empty());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(g_movingSelection, 0);
    EXPECT_EQ(g_layerCount, 1);
    EXPECT_EQ(g_layerName[0], "A");
}
