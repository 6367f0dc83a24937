// The data of the layers, colour and material, and render settings dialogs.
#include "model/DialogFields.h"
#include "model/LayerTable.h"
#include "model/LayerVisibility.h"
#include "model/MaterialSettings.h"
#include "model/RenderSettings.h"
#include "model/SceneSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

TEST(LayerVisibility, AClickFlipsZeroToOneAndAnythingElseToZero)
{
    const std::pair<double, double> toggles[] = {{0.0, 1.0}, {-0.0, 1.0}, {1.0, 0.0}, {0.5, 0.0}, {2.0, 0.0},
                                                 {std::nan(""), 0.0}};
    for (const auto& [before, after] : toggles) EXPECT_EQ(ToggledVisibility(before), after) << before;
    const std::pair<double, int> images[] = {{0.0, 0}, {1.0, 1}, {0.9, 0}, {2.5, 2}, {std::nan(""), 0}};
    for (const auto& [visible, image] : images) EXPECT_EQ(LayerRowImage(visible), image) << visible;
}

TEST(LayerVisibility, OnlyLayersInUseToggle)
{
    AddLayer("A");
    EXPECT_TRUE(ToggleLayerVisibility(0));
    EXPECT_EQ(g_layerAttr[0][kVisible], 0.0);
    EXPECT_TRUE(ToggleLayerVisibility(0));
    EXPECT_EQ(g_layerAttr[0][kVisible], 1.0);
    EXPECT_FALSE(ToggleLayerVisibility(1));
    EXPECT_FALSE(ToggleLayerVisibility(-1));
    EXPECT_EQ(g_layerAttr[1][kVisible], 0.0);
}

TEST(MaterialSettings, TheTextureListHasItsNinetyThreeEntriesInOrder)
{
    const auto& list = MaterialTextureList();
    ASSERT_EQ(list.size(), 93u);
    EXPECT_EQ(list[0], "T_Stone1 scale 100");
    EXPECT_EQ(list[43], "T_Stone44 scale 100");
    EXPECT_EQ(list[44], "T_Wood1 scale 100");
    EXPECT_EQ(list[78], "T_Wood35 scale 100");
    EXPECT_EQ(list[79], "T_Glass1");
    EXPECT_EQ(list[83], "T_Old_Glass");
    EXPECT_EQ(list[91], "T_Vicksbottle_Glass");
    EXPECT_EQ(list[92], "pigment { brick color White, color Brown } scale 30");
}

TEST(MaterialSettings, OpenAndConfirmLowersExactlyTheKnownTwentyFourValues)
{
    const std::set<int> lowered = {33, 37, 41, 45, 49, 53, 57, 61, 66, 74, 82, 90,
                                   98, 106, 114, 122, 132, 148, 164, 180, 196, 212, 228, 244};
    for (int v = 0; v <= 255; ++v) {
        const int back = MaterialValueToInteger(MaterialIntegerToValue(v));
        EXPECT_EQ(back, lowered.count(v) ? v - 1 : v) << v;
    }
}

TEST(MaterialSettings, OpeningAndConfirmingALayerStoresTheTruncatedValues)
{
    AddLayer("A");
    AddLayer("B");
    double* attr = g_layerAttr[1];
    attr[kRed] = 33 * kMaterialStep;
    attr[kGreen] = 1.0;
    attr[kBlue] = 0.5;
    attr[kTransparency] = 0.0;
    attr[kReflection] = 66 * kMaterialStep;
    attr[kVisible] = 0.0;
    g_layerTexture[1] = "T_Glass";

    CMaterialSettings settings = LoadMaterialSettings(1);
    EXPECT_EQ(settings, (CMaterialSettings{32, 255, 127, 0, 65, "T_Glass"}));
    const CMaterialForm form = MaterialFormFor(settings);
    EXPECT_EQ(form.transparency, "0");
    EXPECT_EQ(form.reflection, "65");
    EXPECT_EQ(form.texture, "T_Glass1");
    ASSERT_EQ(ReadMaterialForm(form, settings), EMaterialField::kNone);
    StoreMaterialSettings(1, settings);

    EXPECT_EQ(attr[kRed], 32 * kMaterialStep);
    EXPECT_EQ(attr[kGreen], 255 * kMaterialStep);
    EXPECT_EQ(attr[kReflection], 65 * kMaterialStep);
    EXPECT_EQ(attr[kVisible], 0.0) << "visibility is not the dialog's";
    EXPECT_EQ(g_layerTexture[1], "T_Glass1");
    EXPECT_EQ(g_layerAttr[0][kRed], 1.0);
}

TEST(MaterialSettings, ConfirmingRefusesTheFirstFieldOutsideZeroTo255)
{
    struct CCase {
        const char* transparency;
        const char* reflection;
        EMaterialField refused;
    };
    const CCase cases[] = {
        {"256", "0", EMaterialField::kTransparency},
        {"-1", "300", EMaterialField::kTransparency},
        {"0", "256", EMaterialField::kReflection},
        {"12", "abc", EMaterialField::kReflection},
        {"255", "0", EMaterialField::kNone},
    };
    for (const CCase& c : cases) {
        CMaterialSettings settings{1, 2, 3, 4, 5, "old"};
        const EMaterialField refused = ReadMaterialForm({c.transparency, c.reflection, ""}, settings);
        EXPECT_EQ(refused, c.refused) << c.transparency << " " << c.reflection;
        if (refused != EMaterialField::kNone)
            EXPECT_EQ(settings, (CMaterialSettings{1, 2, 3, 4, 5, "old"})) << "nothing taken from a refused form";
        else
            EXPECT_EQ(settings, (CMaterialSettings{1, 2, 3, 255, 0, ""})) << "an emptied texture is stored empty";
    }
}

TEST(RenderSettings, TheComboListsHoldTheirEntriesWithTrailingBlanks)
{
    ASSERT_EQ(SkyList().size(), 15u);
    EXPECT_EQ(SkyList()[0], "S_Cloud1");
    EXPECT_EQ(SkyList()[7], "pigment {P_Cloud3}");
    EXPECT_EQ(SkyList()[8], "pigment {Blue_Sky} ");
    EXPECT_EQ(SkyList()[14], "pigment { Clouds} ");
    int blankEnded = 0;
    for (const std::string& sky : SkyList()) blankEnded += sky.back() == ' ';
    EXPECT_EQ(blankEnded, 7);
    EXPECT_EQ(GroundList(), (std::vector<std::string>{"pigment { color White } finish { reflection 0.3 }",
                                                      "pigment { checker color White, color Black } scale 300"}));
    EXPECT_EQ(SeasonList(), (std::vector<std::string>{"なし", "春分，秋分", "夏至", "冬至"}));
}

TEST(RenderSettings, TheSeasonMapsBothWaysAndAnyOtherTextStoresMinusOne)
{
    const std::pair<double, const char*> shown[] = {{-1.0, "なし"}, {0.0, "春分，秋分"}, {-0.0, "春分，秋分"},
                                                    {30.0, "夏至"}, {-30.0, "冬至"},     {23.44, ""},
                                                    {std::nan(""), ""}};
    for (const auto& [season, text] : shown) EXPECT_EQ(SeasonTextFor(season), text) << season;
    const std::pair<const char*, double> stored[] = {{"なし", -1.0}, {"春分，秋分", 0.0}, {"夏至", 30.0},
                                                     {"冬至", -30.0}, {"冬", -1.0},        {"", -1.0},
                                                     {"夏至 ", -1.0}};
    for (const auto& [text, season] : stored) EXPECT_EQ(SeasonValueFor(text), season) << text;
}

TEST(RenderSettings, OpeningAndConfirmingUntouchedTruncatesNorth)
{
    g_north = 45.7;
    g_latitude = 36.5;
    g_hour = 13.25;
    g_season = -30.0;
    g_sky = "pigment { Blue_Sky3";
    g_ground = "";

    CRenderSettings settings = LoadRenderSettings();
    EXPECT_EQ(settings.m_north, 45);
    EXPECT_EQ(settings.m_season, "冬至");
    const CRenderSettingsForm form = RenderSettingsFormFor(settings);
    EXPECT_EQ(form.north, "45");
    EXPECT_EQ(form.latitude, "36.5");
    EXPECT_EQ(form.hour, "13.25");
    EXPECT_EQ(form.sky, "pigment { Blue_Sky3} ");
    EXPECT_EQ(form.ground, "") << "an empty text is not replaced by the first entry";
    ASSERT_EQ(ReadRenderSettingsForm(form, settings), ERenderField::kNone);
    StoreRenderSettings(settings);

    EXPECT_EQ(g_north, 45.0);
    EXPECT_EQ(g_latitude, 36.5);
    EXPECT_EQ(g_hour, 13.25);
    EXPECT_EQ(g_season, -30.0);
    EXPECT_EQ(g_sky, "pigment { Blue_Sky3} ");
    EXPECT_EQ(g_ground, "");
}

TEST(RenderSettings, ConfirmingRefusesNorthLatitudeAndHourOutsideTheirRanges)
{
    struct CCase {
        const char* north;
        const char* latitude;
        const char* hour;
        ERenderField refused;
    };
    const CCase cases[] = {
        {"360", "-90", "24", ERenderField::kNone},   {"0", "90", "0", ERenderField::kNone},
        {"361", "0", "0", ERenderField::kNorth},     {"45.5", "0", "0", ERenderField::kNorth},
        {"-1", "100", "30", ERenderField::kNorth},   {"0", "90.5", "0", ERenderField::kLatitude},
        {"0", "3,5", "0", ERenderField::kLatitude},  {"0", "0", "24.5", ERenderField::kHour},
        {"0", "0", "-1", ERenderField::kHour},       {"0", "0", "", ERenderField::kHour},
    };
    for (const CCase& c : cases) {
        CRenderSettings settings;
        settings.m_sky = "old";
        const CRenderSettingsForm form = {"sky", c.north, c.latitude, c.hour, "冬", "ground"};
        EXPECT_EQ(ReadRenderSettingsForm(form, settings), c.refused) << c.north << " " << c.latitude << " " << c.hour;
        EXPECT_EQ(settings.m_sky, c.refused == ERenderField::kNone ? "sky" : "old");
    }
    CRenderSettings typed;
    ASSERT_EQ(ReadRenderSettingsForm({"", "90", "-12.5", "6", "冬", "g"}, typed), ERenderField::kNone);
    StoreRenderSettings(typed);
    EXPECT_EQ(g_season, -1.0) << "a partial season text stores what \"なし\" stores";
    EXPECT_EQ(g_latitude, -12.5);
    EXPECT_EQ(g_sky, "");
}
