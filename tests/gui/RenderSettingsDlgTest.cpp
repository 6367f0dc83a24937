// The render settings dialog through its menu command: what it shows for the scene settings,
// what OK stores, the spin arrows, refused numbers and Cancel. The test runs in a
// decimal-comma locale, so a number shown or read through the locale would fail here.
#include "DialogTestSupport.h"
#include "GuiTestSupport.h"

#include "app/CommandIds.h"
#include "dialogs/RenderSettingsDlg.h"
#include "model/SceneSettings.h"

#include <QGroupBox>
#include <QLabel>
#include <QMap>

namespace {

QWidget* Field(QWidget* dialog, const char* name) { return dialog->findChild<QWidget*>(QString::fromLatin1(name)); }

QStringList Entries(QWidget* dialog, const char* name)
{
    auto* combo = dialog->findChild<QComboBox*>(QString::fromLatin1(name));
    QStringList entries;
    for (int i = 0; combo && i < combo->count(); ++i) entries << combo->itemText(i);
    return entries;
}

QStringList Texts(const std::vector<std::string>& list)
{
    QStringList texts;
    for (const std::string& text : list) texts << QString::fromStdString(text);
    return texts;
}

// Runs the command; `action` works the dialog and closes it.
void RunSettings(CStartedProgram& program, std::function<void(QDialog*)> action)
{
    bool shown = false;
    WhenModalShows(QString::fromUtf8("ﾀﾞｲｱﾛｸﾞ"), std::move(action), &shown);
    program.Frame().Action(ID_RENDER_SETTINGS)->trigger();
    QVERIFY(shown);
}

struct CSceneSnapshot {
    CSceneSnapshot() : sky(g_sky), ground(g_ground), north(g_north), season(g_season), latitude(g_latitude), hour(g_hour) {}
    bool operator==(const CSceneSnapshot&) const = default;
    std::string sky, ground;
    double north, season, latitude, hour;
};

}  // namespace

class CRenderSettingsDlgTest : public QObject {
    Q_OBJECT
private slots:
    void layoutTextsAndLists();
    void showsTheSettingsAndOkStoresThemUntouched();
    void typedValuesAreStoredOnOk();
    void spinArrowsStepByWholeNumbers();
    void refusedNumbers_data();
    void refusedNumbers();
    void cancelLeavesAllSix();
};

void CRenderSettingsDlgTest::layoutTextsAndLists()
{
    CRenderSettingsDlg dialog(LoadRenderSettings());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("ﾀﾞｲｱﾛｸﾞ"));
    // Where each label sits in the dialog, by its text.
    QMap<QString, QRect> at;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        at[label->text()] = QRect(label->mapTo(&dialog, QPoint()), label->size());
    const auto rect = [&at](const char* text) { return at.value(QString::fromUtf8(text)); };
    QCOMPARE(at.keys().size(), 8);
    const auto above = [&](const char* upper, const char* lower) { return rect(upper).bottom() < rect(lower).top(); };
    const auto leftOf = [&](const char* left, const char* right) { return rect(left).right() < rect(right).left(); };
    QVERIFY(above("空", "地面"));
    QVERIFY(above("地面", "真北（度）"));
    QVERIFY(above("真北（度）", "（北から反時計回り）") && above("（北から反時計回り）", "緯度（度）"));
    QVERIFY(above("季節", "時間（時）") && above("時間（時）", "（0～24時）"));
    QVERIFY(leftOf("真北（度）", "季節") && leftOf("緯度（度）", "時間（時）"));

    auto* group = dialog.findChild<QGroupBox*>();
    QVERIFY(group);
    QCOMPARE(group->title(), QString::fromUtf8("太陽の位置"));
    for (const char* field : {"north", "latitude", "season", "hour"}) QVERIFY(group->isAncestorOf(Field(&dialog, field)));
    QCOMPARE(Entries(&dialog, "sky"), Texts(SkyList()));
    QCOMPARE(Entries(&dialog, "sky").value(8), QStringLiteral("pigment {Blue_Sky} "));  // the blank is kept
    QCOMPARE(Entries(&dialog, "ground"), Texts(GroundList()));
    QCOMPARE(Entries(&dialog, "season"), (QStringList{"なし", "春分，秋分", "夏至", "冬至"}));
    QVERIFY(Button(&dialog, "OK") && Button(&dialog, "ｷｬﾝｾﾙ"));
    QVERIFY(Button(&dialog, "OK")->isDefault());
}

void CRenderSettingsDlgTest::showsTheSettingsAndOkStoresThemUntouched()
{
    CStartedProgram program;
    g_sky = "S_Cloud";
    g_north = 45.7;
    g_latitude = 36.5;
    g_hour = 10.25;
    g_season = 30.0;
    g_ground = "pigment { checker";
    RunSettings(program, [](QDialog* dialog) {
        QCOMPARE(FieldText(Field(dialog, "sky")), QStringLiteral("S_Cloud1"));
        QCOMPARE(FieldText(Field(dialog, "north")), QStringLiteral("45"));
        QCOMPARE(FieldText(Field(dialog, "latitude")), QStringLiteral("36.5"));
        QCOMPARE(FieldText(Field(dialog, "hour")), QStringLiteral("10.25"));
        QCOMPARE(FieldText(Field(dialog, "season")), QString::fromUtf8("夏至"));
        QCOMPARE(FieldText(Field(dialog, "ground")), QStringLiteral("pigment { checker color White, color Black } scale 300"));
        ClickButton(dialog, "OK");
    });
    QCOMPARE(g_sky, std::string("S_Cloud1"));
    QCOMPARE(g_north, 45.0);
    QCOMPARE(g_latitude, 36.5);
    QCOMPARE(g_hour, 10.25);
    QCOMPARE(g_season, 30.0);
    QCOMPARE(g_ground, std::string("pigment { checker color White, color Black } scale 300"));
    // The settings changed (the combos and north show other values), and they are saved with
    // the model: the model is marked modified. An OK that changes nothing leaves it alone.
    QVERIFY(program.Host().Doc().IsModified());
    program.Host().Doc().SetModifiedFlag(false);
    RunSettings(program, [](QDialog* dialog) { ClickButton(dialog, "OK"); });
    QVERIFY(!program.Host().Doc().IsModified());

    // A declination no entry stands for shows an empty season, which OK stores as none.
    g_season = 23.44;
    RunSettings(program, [](QDialog* dialog) {
        QCOMPARE(FieldText(Field(dialog, "season")), QString());
        ClickButton(dialog, "OK");
    });
    QCOMPARE(g_season, -1.0);
}

void CRenderSettingsDlgTest::typedValuesAreStoredOnOk()
{
    CStartedProgram program;
    RunSettings(program, [](QDialog* dialog) {
        TypeInto(Field(dialog, "sky"), QString());
        TypeInto(Field(dialog, "north"), QStringLiteral("359"));
        TypeInto(Field(dialog, "latitude"), QStringLiteral("36.5"));
        TypeInto(Field(dialog, "hour"), QStringLiteral("23.75"));
        TypeInto(Field(dialog, "season"), QString::fromUtf8("冬"));
        TypeInto(Field(dialog, "ground"), QStringLiteral("pigment { Gray50 }"));
        QCOMPARE(FieldText(Field(dialog, "season")), QString::fromUtf8("冬"));  // not completed to "冬至"
        ClickButton(dialog, "OK");
    });
    QCOMPARE(g_sky, std::string());
    QCOMPARE(g_north, 359.0);
    QCOMPARE(g_latitude, 36.5);
    QCOMPARE(g_hour, 23.75);
    QCOMPARE(g_season, -1.0);
    QCOMPARE(g_ground, std::string("pigment { Gray50 }"));

    RunSettings(program, [](QDialog* dialog) {
        auto* season = dialog->findChild<QComboBox*>(QStringLiteral("season"));
        season->setCurrentIndex(3);
        ClickButton(dialog, "OK");
    });
    QCOMPARE(g_season, -30.0);
}

void CRenderSettingsDlgTest::spinArrowsStepByWholeNumbers()
{
    struct CStep {
        const char* field;
        const char* before;
        Qt::Key key;
        const char* after;
    };
    const CStep steps[] = {
        {"latitude", "36.5", Qt::Key_Up, "37"},   {"latitude", "36.5", Qt::Key_Down, "36"},
        {"latitude", "-36.5", Qt::Key_Up, "-36"}, {"latitude", "89.5", Qt::Key_Up, "90"},
        {"latitude", "90", Qt::Key_Up, "90"},     {"latitude", "-90", Qt::Key_Down, "-90"},
        {"north", "45", Qt::Key_Up, "46"},        {"north", "360", Qt::Key_Up, "360"},
        {"north", "400", Qt::Key_Down, "360"},    {"hour", "0", Qt::Key_Down, "0"},
        {"hour", "10.25", Qt::Key_PageUp, "20"},  {"hour", "x", Qt::Key_Up, "0"},
    };
    CRenderSettingsDlg dialog(LoadRenderSettings());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const CStep& step : steps) {
        QWidget* field = Field(&dialog, step.field);
        TypeInto(field, QString::fromLatin1(step.before));
        QTest::keyClick(field, step.key);
        QCOMPARE(FieldText(field), QString::fromLatin1(step.after));
    }
}

void CRenderSettingsDlgTest::refusedNumbers_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString north = QString::fromUtf8("0 から 360 までの整数を入力してください。");
    const QString latitude = QString::fromUtf8("-90 から 90 までの数値を入力してください。");
    const QString hour = QString::fromUtf8("0 から 24 までの数値を入力してください。");
    for (const char* text : {"361", "-1", "45.5", "4 5", ""})
        QTest::addRow("north '%s'", text) << "north" << text << north;
    for (const char* text : {"90.5", "-91", "36,5", "abc", "nan"})
        QTest::addRow("latitude '%s'", text) << "latitude" << text << latitude;
    for (const char* text : {"24.01", "-0.5", "", "inf"})
        QTest::addRow("hour '%s'", text) << "hour" << text << hour;
}

void CRenderSettingsDlgTest::refusedNumbers()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    CScriptedPrompts prompts;
    CStartedProgram program;
    const CSceneSnapshot before;
    RunSettings(program, [&](QDialog* dialog) {
        QWidget* edit = Field(dialog, field.toLatin1());
        TypeInto(edit, text);
        Field(dialog, "sky")->setFocus();
        ClickButton(dialog, "OK");
        QVERIFY(dialog->isVisible());
        QCOMPARE(prompts.m_shown, QStringList{QString::fromUtf8("Vorla_DORAZ|") + message});
        QVERIFY(FocusIsOn(dialog, edit));
        QCOMPARE(FieldText(edit), text);
        ClickButton(dialog, "ｷｬﾝｾﾙ");
    });
    QVERIFY(CSceneSnapshot() == before);
}

void CRenderSettingsDlgTest::cancelLeavesAllSix()
{
    CStartedProgram program;
    g_north = 45.7;
    g_season = 0.0;
    const CSceneSnapshot before;
    RunSettings(program, [](QDialog* dialog) {
        TypeInto(Field(dialog, "sky"), QStringLiteral("S_Cloud3"));
        TypeInto(Field(dialog, "ground"), QStringLiteral("pigment { Red }"));
        TypeInto(Field(dialog, "north"), QStringLiteral("90"));
        TypeInto(Field(dialog, "latitude"), QStringLiteral("-12.5"));
        TypeInto(Field(dialog, "hour"), QStringLiteral("18"));
        TypeInto(Field(dialog, "season"), QString::fromUtf8("夏至"));
        ClickButton(dialog, "ｷｬﾝｾﾙ");
    });
    QVERIFY(CSceneSnapshot() == before);
    QCOMPARE(g_north, 45.7);
}

VORLA_GUI_TEST_MAIN(CRenderSettingsDlgTest)
#include "RenderSettingsDlgTest.moc"
