// The soak's settings dialogs: the layers dialog with its clicks and the colour and material
// dialog behind a double-click, and the render settings dialog; fields typed as a user types
// them, valid or not, then OK or Cancel.
#include "DialogTestSupport.h"
#include "SoakRun.h"

#include "app/CommandIds.h"
#include "model/SceneSettings.h"

#include <array>

namespace {

const char kRefusal[] = "までの";  // the refusal of a number outside its range or not a number

// A number field's text: mostly within [lo, hi], sometimes one the dialog must refuse.
QString NumberText(CSoakRandom& random, int lo, int hi, bool decimals)
{
    switch (random.Below(10)) {
    case 0: return QString::number(hi + random.Between(1, 100));
    case 1: return QStringLiteral("x%1").arg(random.Below(10));
    case 2: return QString();
    default: break;
    }
    const int whole = random.Between(lo, hi);
    if (decimals && whole < hi && random.Percent(30)) return QStringLiteral("%1.5").arg(whole);
    return QString::number(whole);
}

// A combo set to one of its entries, or typed over with text of its own.
void ChangeCombo(CSoakRandom& random, QComboBox* combo)
{
    if (random.Percent(70)) {
        combo->setCurrentIndex(random.Below(combo->count()));
    } else {
        TypeInto(combo, QStringLiteral("T%1").arg(random.Below(1000)));
    }
}

// A point on row `row` that lies in the visible part of the list: the column is as wide as
// its longest name, so the row's centre can lie beyond the right edge.
QPoint RowPoint(QTreeWidget* list, int row)
{
    list->scrollToItem(list->topLevelItem(row));
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    const int x = std::clamp(rect.left() + 24, 0, list->viewport()->width() - 1);
    return QPoint(x, rect.center().y());
}

struct SScene {
    SScene() : sky(g_sky), ground(g_ground), north(g_north), season(g_season), latitude(g_latitude), hour(g_hour) {}
    bool operator==(const SScene&) const = default;
    std::string sky, ground;
    double north, season, latitude, hour;
};

// One layer's colour, material and texture, without its visibility.
struct SMaterial {
    explicit SMaterial(int layer) : texture(g_layerTexture[layer])
    {
        for (int a = 0; a < kVisible; ++a) values[std::size_t(a)] = g_layerAttr[layer][a];
    }
    bool operator==(const SMaterial&) const = default;
    std::array<double, kVisible> values{};
    std::string texture;
};

}  // namespace

void CSoakRun::Layers()
{
    Allow(kRefusal);
    const int rows = std::min(g_layerCount, kMaxLayers);
    std::vector<double> expectedVisible;
    for (int i = 0; i < rows; ++i) expectedVisible.push_back(g_layerAttr[i][kVisible]);
    std::vector<std::optional<SMaterial>> unchangedMaterial;
    for (int i = 0; i < rows; ++i) unchangedMaterial.emplace_back(SMaterial(i));
    const CShapeList before = Doc().m_shapeList;

    bool shown = false;
    WhenModalShows(QString::fromUtf8("画　　層"), [&](QDialog* dialog) {
        auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("layerList"));
        QVERIFY(list);
        QCOMPARE(list->topLevelItemCount(), rows);
        for (int clicks = rows ? m_random.Below(5) : 0; clicks > 0; --clicks) {
            const int row = m_random.Below(rows);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowPoint(list, row));
            // A click shows a hidden layer and hides any other.
            expectedVisible[std::size_t(row)] = expectedVisible[std::size_t(row)] == 0.0 ? 1.0 : 0.0;
        }
        if (rows && m_random.Percent(40)) {
            const int row = m_random.Below(rows);
            bool confirmed = false;
            WhenModalShows(QString::fromUtf8("色，材質"), [&](QDialog* material) {
                if (m_random.Percent(50)) ClickButton(material, "色の設定");
                if (m_random.Percent(50))
                    TypeInto(material->findChild<QWidget*>(QStringLiteral("transparency")), NumberText(m_random, 0, 255, false));
                if (m_random.Percent(50))
                    TypeInto(material->findChild<QWidget*>(QStringLiteral("reflection")), NumberText(m_random, 0, 255, false));
                if (m_random.Percent(30)) ChangeCombo(m_random, material->findChild<QComboBox*>(QStringLiteral("texture")));
                if (m_random.Percent(70)) ClickButton(material, "OK");
                confirmed = !material->isVisible();
                // A refused number keeps the dialog open; the user gives up.
                if (material->isVisible()) ClickButton(material, "ｷｬﾝｾﾙ");
            });
            DoubleClick(list->viewport(), RowPoint(list, row));
            if (confirmed) unchangedMaterial[std::size_t(row)].reset();
        }
        ClickButton(dialog, m_random.Percent(70) ? "OK" : "ｷｬﾝｾﾙ");
    }, &shown);
    Trigger(ID_VIEW_LAYERS);
    QVERIFY(shown);
    // Clicks act at once, so Cancel keeps them too; a double-click shows and hides back.
    for (int i = 0; i < rows; ++i) {
        QVERIFY2(g_layerAttr[i][kVisible] == expectedVisible[std::size_t(i)],
                 qPrintable(QStringLiteral("layer %1 of %2: visible %3, expected %4")
                                .arg(i).arg(rows).arg(g_layerAttr[i][kVisible]).arg(expectedVisible[std::size_t(i)])));
        if (unchangedMaterial[std::size_t(i)])
            QVERIFY2(SMaterial(i) == *unchangedMaterial[std::size_t(i)], "a cancelled colour and material dialog changed its layer");
    }
    QCOMPARE(g_layerCount, rows);
    QVERIFY(Doc().m_shapeList == before);
}

void CSoakRun::RenderSettings()
{
    Allow(kRefusal);
    const SScene before;
    const bool wasModified = Doc().IsModified();
    bool confirmed = false;
    bool shown = false;
    WhenModalShows(QString::fromUtf8("ﾀﾞｲｱﾛｸﾞ"), [&](QDialog* dialog) {
        for (const char* combo : {"sky", "ground", "season"})
            if (m_random.Percent(30)) ChangeCombo(m_random, dialog->findChild<QComboBox*>(QLatin1String(combo)));
        if (m_random.Percent(40)) TypeInto(dialog->findChild<QWidget*>(QStringLiteral("north")), NumberText(m_random, 0, 360, false));
        if (m_random.Percent(40)) TypeInto(dialog->findChild<QWidget*>(QStringLiteral("latitude")), NumberText(m_random, -90, 90, true));
        if (m_random.Percent(40)) TypeInto(dialog->findChild<QWidget*>(QStringLiteral("hour")), NumberText(m_random, 0, 24, true));
        if (m_random.Percent(70)) ClickButton(dialog, "OK");
        confirmed = !dialog->isVisible();
        if (dialog->isVisible()) ClickButton(dialog, "ｷｬﾝｾﾙ");
    }, &shown);
    Trigger(ID_RENDER_SETTINGS);
    QVERIFY(shown);
    if (!confirmed) QVERIFY2(SScene() == before, "a cancelled render settings dialog changed the settings");
    // The settings are saved with the model, so a change is a change of the model.
    if (SScene() == before) QCOMPARE(Doc().IsModified(), wasModified);
    else QVERIFY(Doc().IsModified());
}

void CSoakRun::About()
{
    bool shown = false;
    WhenModalShows(QString::fromUtf8("Vorla_DORAZのﾊﾞｰｼﾞｮﾝ情報"), [](QDialog* dialog) { ClickButton(dialog, "OK"); }, &shown);
    Trigger(ID_APP_ABOUT);
    QVERIFY(shown);
}
