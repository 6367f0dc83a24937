// The colour and material dialog: the values a layer opens with, the truncation on OK, fields
// refused on OK, the texture prefix rule and the colour chooser with its swatch.
#include "DialogTestSupport.h"
#include "GuiTestSupport.h"

#include "dialogs/MaterialDlg.h"
#include "model/LayerTable.h"

#include <QLabel>
#include <QMap>

namespace {

// A shown dialog over layer 0's values.
struct CShownMaterialDlg {
    CShownMaterialDlg() : dialog(LoadMaterialSettings(0))
    {
        dialog.show();
        (void)QTest::qWaitForWindowExposed(&dialog);
    }
    QWidget* Field(const char* name) { return dialog.findChild<QWidget*>(QString::fromLatin1(name)); }
    QComboBox* Texture() { return dialog.findChild<QComboBox*>(QStringLiteral("texture")); }
    CMaterialDlg dialog;
};

QRgb SwatchCentre(QDialog* dialog)
{
    QWidget* swatch = dialog->findChild<QWidget*>(QStringLiteral("swatch"));
    return dialog->grab().toImage().pixel(swatch->geometry().center());
}

}  // namespace

class CMaterialDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        ResetGlobals();
        AddLayer("A");
    }
    void titleLabelsAndTextureList();
    void openAndOkStoresTheTruncatedValues();
    void cancelStoresNothing();
    void refusedNumbers_data();
    void refusedNumbers();
    void textureShownByPrefix_data();
    void textureShownByPrefix();
    void typedTextureIsStoredAsTypedAndReopensByPrefix();
    void colourChooserAndSwatch();
};

void CMaterialDlgTest::titleLabelsAndTextureList()
{
    CShownMaterialDlg shown;
    QCOMPARE(shown.dialog.windowTitle(), QString::fromUtf8("色，材質"));
    QMap<QString, QRect> at;
    for (QLabel* label : shown.dialog.findChildren<QLabel*>())
        at[label->text()] = QRect(label->mapTo(&shown.dialog, QPoint()), label->size());
    for (const char* button : {"色の設定", "OK", "ｷｬﾝｾﾙ"}) {
        QVERIFY2(Button(&shown.dialog, button), button);
        at[QString::fromUtf8(button)] = Button(&shown.dialog, button)->geometry();
    }
    at[QStringLiteral("swatch")] = shown.Field("swatch")->geometry();
    QCOMPARE(at.size(), 7);
    const auto rect = [&at](const char* text) { return at.value(QString::fromUtf8(text)); };
    // The colour button over its swatch, the two numbers to their right, the texture below,
    // OK and Cancel at the bottom.
    QVERIFY(rect("色の設定").bottom() < rect("swatch").top());
    QVERIFY(rect("swatch").right() < rect("透明度").left());
    QVERIFY(rect("透明度").bottom() < rect("反射光").top());
    QVERIFY(rect("反射光").bottom() < rect("材　　質").top());
    QVERIFY(rect("swatch").bottom() < rect("材　　質").top());
    QVERIFY(rect("材　　質").bottom() < rect("OK").top());
    QVERIFY(rect("OK").right() < rect("ｷｬﾝｾﾙ").left());
    QVERIFY(Button(&shown.dialog, "OK")->isDefault());
    QStringList entries;
    for (int i = 0; i < shown.Texture()->count(); ++i) entries << shown.Texture()->itemText(i);
    QStringList expected;
    for (const std::string& entry : MaterialTextureList()) expected << QString::fromStdString(entry);
    QCOMPARE(entries, expected);
    QVERIFY(shown.Texture()->isEditable());
}

void CMaterialDlgTest::openAndOkStoresTheTruncatedValues()
{
    g_layerAttr[0][kRed] = 33 * kMaterialStep;
    g_layerAttr[0][kGreen] = 1.0;
    g_layerAttr[0][kBlue] = 0.0;
    g_layerAttr[0][kTransparency] = 0.5;
    g_layerAttr[0][kReflection] = 66 * kMaterialStep;
    g_layerTexture[0] = "T_Glass";
    WhenModalShows(QString::fromUtf8("色，材質"), [](QDialog* dialog) {
        QCOMPARE(FieldText(dialog->findChild<QWidget*>(QStringLiteral("transparency"))), QStringLiteral("127"));
        QCOMPARE(FieldText(dialog->findChild<QWidget*>(QStringLiteral("reflection"))), QStringLiteral("65"));
        ClickButton(dialog, "OK");
    });
    QVERIFY(CMaterialDlg::EditLayer(nullptr, 0));
    QCOMPARE(g_layerAttr[0][kRed], 32 * kMaterialStep);
    QCOMPARE(g_layerAttr[0][kGreen], 255 * kMaterialStep);
    QCOMPARE(g_layerAttr[0][kBlue], 0.0);
    QCOMPARE(g_layerAttr[0][kTransparency], 127 * kMaterialStep);
    QCOMPARE(g_layerAttr[0][kReflection], 65 * kMaterialStep);
    QCOMPARE(g_layerTexture[0], std::string("T_Glass1"));
    QCOMPARE(g_layerAttr[0][kVisible], 1.0);
}

void CMaterialDlgTest::cancelStoresNothing()
{
    CScriptedPrompts prompts;
    prompts.m_colors.enqueue(QColor(1, 2, 3));
    g_layerAttr[0][kRed] = 33 * kMaterialStep;
    g_layerTexture[0] = "T_Glass";
    WhenModalShows(QString::fromUtf8("色，材質"), [](QDialog* dialog) {
        ClickButton(dialog, "色の設定");
        TypeInto(dialog->findChild<QWidget*>(QStringLiteral("transparency")), QStringLiteral("200"));
        TypeInto(dialog->findChild<QWidget*>(QStringLiteral("texture")), QStringLiteral("pigment { Red }"));
        ClickButton(dialog, "ｷｬﾝｾﾙ");
    });
    QVERIFY(!CMaterialDlg::EditLayer(nullptr, 0));
    QCOMPARE(g_layerAttr[0][kRed], 33 * kMaterialStep);
    QCOMPARE(g_layerAttr[0][kTransparency], 0.0);
    QCOMPARE(g_layerTexture[0], std::string("T_Glass"));
}

void CMaterialDlgTest::refusedNumbers_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    for (const char* field : {"transparency", "reflection"})
        for (const char* text : {"256", "-1", "12.5", "1e2", "abc", ""})
            QTest::addRow("%s '%s'", field, text) << QString::fromLatin1(field) << QString::fromLatin1(text);
}

void CMaterialDlgTest::refusedNumbers()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    CScriptedPrompts prompts;
    CShownMaterialDlg shown;
    QWidget* edit = shown.Field(field.toLatin1());
    TypeInto(edit, text);
    QCOMPARE(FieldText(edit), text);  // typed text is kept as it is, not corrected
    shown.Texture()->setFocus();
    ClickButton(&shown.dialog, "OK");
    QVERIFY(shown.dialog.isVisible());
    QCOMPARE(shown.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(prompts.m_shown, QStringList{QString::fromUtf8("Vorla_DORAZ|0 から 255 までの整数を入力してください。")});
    QVERIFY(FocusIsOn(&shown.dialog, edit));

    // Corrected, OK closes.
    TypeInto(edit, QStringLiteral("255"));
    ClickButton(&shown.dialog, "OK");
    QVERIFY(!shown.dialog.isVisible());
    QCOMPARE(shown.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(field == "transparency" ? shown.dialog.Settings().m_transparency : shown.dialog.Settings().m_reflection,
             255);
}

void CMaterialDlgTest::textureShownByPrefix_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("index");
    QTest::newRow("prefix of an entry") << QByteArray("T_Glass") << "T_Glass1" << 79;
    QTest::newRow("other letter case") << QByteArray("t_wood3") << "T_Wood3 scale 100" << 46;
    QTest::newRow("whole entry") << QByteArray("T_Old_Glass") << "T_Old_Glass" << 83;
    QTest::newRow("own text") << QByteArray("pigment { Red }") << "pigment { Red }" << -1;
    QTest::newRow("empty") << QByteArray() << "" << -1;
    QTest::newRow("Shift-JIS") << QByteArray("\x90\xce") << QString::fromUtf8("石") << -1;
}

void CMaterialDlgTest::textureShownByPrefix()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    QFETCH(int, index);
    g_layerTexture[0] = stored.toStdString();
    CShownMaterialDlg dlg;
    QCOMPARE(dlg.Texture()->currentText(), shown);
    QCOMPARE(dlg.Texture()->currentIndex(), index);
    ClickButton(&dlg.dialog, "OK");
    // Untouched, OK keeps what is shown, in the bytes it came from.
    const std::string expected = index >= 0 ? MaterialTextureList()[index] : stored.toStdString();
    QCOMPARE(dlg.dialog.Settings().m_texture, expected);
}

void CMaterialDlgTest::typedTextureIsStoredAsTypedAndReopensByPrefix()
{
    WhenModalShows(QString::fromUtf8("色，材質"), [](QDialog* dialog) {
        QWidget* texture = dialog->findChild<QWidget*>(QStringLiteral("texture"));
        TypeInto(texture, QStringLiteral("T_Glass"));
        QCOMPARE(FieldText(texture), QStringLiteral("T_Glass"));  // nothing completed behind the user's back
        ClickButton(dialog, "OK");
    });
    QVERIFY(CMaterialDlg::EditLayer(nullptr, 0));
    QCOMPARE(g_layerTexture[0], std::string("T_Glass"));
    WhenModalShows(QString::fromUtf8("色，材質"), [](QDialog* dialog) {
        QCOMPARE(FieldText(dialog->findChild<QWidget*>(QStringLiteral("texture"))), QStringLiteral("T_Glass1"));
        ClickButton(dialog, "OK");
    });
    QVERIFY(CMaterialDlg::EditLayer(nullptr, 0));
    QCOMPARE(g_layerTexture[0], std::string("T_Glass1"));
}

void CMaterialDlgTest::colourChooserAndSwatch()
{
    CScriptedPrompts prompts;
    g_layerAttr[0][kRed] = 0.2;
    g_layerAttr[0][kGreen] = 0.4;
    g_layerAttr[0][kBlue] = 0.6;
    g_layerTexture[0] = "T_Glass1";
    CShownMaterialDlg shown;
    QVERIFY(Near(SwatchCentre(&shown.dialog), 51, 102, 153, 0));

    // Cancelling the chooser changes nothing.
    ClickButton(&shown.dialog, "色の設定");
    QCOMPARE(prompts.m_colorsOffered, QList<QColor>{QColor(51, 102, 153)});
    QVERIFY(Near(SwatchCentre(&shown.dialog), 51, 102, 153, 0));

    prompts.m_colors.enqueue(QColor(10, 200, 30));
    ClickButton(&shown.dialog, "色の設定");
    QVERIFY(Near(SwatchCentre(&shown.dialog), 10, 200, 30, 0));
    // Covered and uncovered, the swatch is painted again in the picked colour.
    shown.dialog.hide();
    shown.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shown.dialog));
    QVERIFY(Near(SwatchCentre(&shown.dialog), 10, 200, 30, 0));

    // Clearing the texture stores an empty one.
    TypeInto(shown.Texture(), QString());
    ClickButton(&shown.dialog, "OK");
    QCOMPARE(shown.dialog.result(), int(QDialog::Accepted));
    StoreMaterialSettings(0, shown.dialog.Settings());
    QCOMPARE(g_layerAttr[0][kRed], 10 * kMaterialStep);
    QCOMPARE(g_layerAttr[0][kGreen], 200 * kMaterialStep);
    QCOMPARE(g_layerAttr[0][kBlue], 30 * kMaterialStep);
    QCOMPARE(g_layerTexture[0], std::string());
}

VORLA_GUI_TEST_MAIN(CMaterialDlgTest)
#include "MaterialDlgTest.moc"
