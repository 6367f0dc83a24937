// Adding layers by name, the lookup, and how faces on unknown layers are treated.
#include "model/Globals.h"
#include "model/LayerTable.h"
#include "model/SceneSettings.h"

#include <gtest/gtest.h>

TEST(LayerTable, AddLayerGivesAWhiteOpaqueVisibleLayer)
{
    AddLayer("Walls");
    ASSERT_EQ(g_layerCount, 1);
    EXPECT_EQ(g_layerName[0], "Walls");
    const double expected[kLayerAttrCount] = {1, 1, 1, 0, 0, 1};
    for (int a = 0; a < kLayerAttrCount; ++a) EXPECT_EQ(g_layerAttr[0][a], expected[a]) << a;
}

TEST(LayerTable, ExistingNamesChangeNothingAndCaseMatters)
{
    AddLayer("A");
    g_layerAttr[0][kRed] = 0.25;
    AddLayer("A");
    AddLayer("a");
    ASSERT_EQ(g_layerCount, 2);
    EXPECT_EQ(g_layerAttr[0][kRed], 0.25);
    EXPECT_EQ(FindLayer("a"), 1);
    EXPECT_EQ(FindLayer("A"), 0);
    EXPECT_EQ(FindLayer("B"), 2) << "an unknown name gives the first free slot";
}

TEST(LayerTable, AddingStopsAtNinetyNineLayers)
{
    for (int i = 0; i < 120; ++i) AddLayer("L" + std::to_string(i));
    EXPECT_EQ(g_layerCount, 99);
    EXPECT_EQ(g_layerName[98], "L98");
    EXPECT_TRUE(g_layerName[99].empty());
}

TEST(LayerTable, ANewLayerKeepsTheTextureItsSlotHeld)
{
    g_layerTexture[0] = "T_Glass1";
    AddLayer("Fresh");
    EXPECT_EQ(g_layerTexture[0], "T_Glass1");
}

TEST(LayerTable, UnknownLayerVisibilityFollowsTheFirstFreeSlot)
{
    AddLayer("A");
    double rgb[3];
    const int unknown = FindLayer("nowhere");
    EXPECT_FALSE(IsLayerIndexVisible(unknown)) << "a never-used slot holds 0.0";
    g_layerAttr[1][kVisible] = 1.0;
    EXPECT_TRUE(IsLayerIndexVisible(unknown));
    GetLayerIndexColor(unknown, rgb);
    EXPECT_EQ(rgb[0], 1.0);
    EXPECT_EQ(rgb[2], 1.0);
}

TEST(LayerTable, AFullTableHasNoFreeSlotAndUnknownLayersAreHidden)
{
    g_layerCount = kMaxLayers;
    for (int i = 0; i < kMaxLayers; ++i) {
        g_layerName[i] = "L" + std::to_string(i);
        g_layerAttr[i][kVisible] = 1.0;
    }
    const int unknown = FindLayer("nowhere");
    EXPECT_EQ(unknown, kMaxLayers);
    EXPECT_FALSE(IsLayerIndexVisible(unknown));
    double rgb[3];
    GetLayerIndexColor(unknown, rgb);
    EXPECT_EQ(rgb[1], 1.0);
}

TEST(Globals, ViewDefaultsEmptyTheLayerCountButNotTheSlots)
{
    AddLayer("A");
    g_north = 45;
    g_sky.clear();
    InitViewDefaults();
    EXPECT_EQ(g_layerCount, 0);
    EXPECT_EQ(g_layerName[0], "A");
    EXPECT_EQ(g_north, 0.0);
    EXPECT_EQ(g_sky, "S_Cloud1");
    EXPECT_EQ(g_latitude, 36.0);
    EXPECT_EQ(g_hour, 10.0);
}
