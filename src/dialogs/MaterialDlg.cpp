// The colour and material dialog: fills its fields from one layer's values and, on OK, checks
// them and hands them back for the layer table.
#include "dialogs/MaterialDlg.h"

#include "app/UserPrompts.h"
#include "dialogs/ColorSwatch.h"
#include "dialogs/DialogWidgets.h"
#include "dialogs/SpinEdit.h"
#include "model/DialogFields.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QColor SwatchColor(const CMaterialSettings& settings)
{
    // A stray value from a file can lie outside 0..255; the swatch shows the nearest colour.
    return QColor(std::clamp(settings.m_red, 0, 255), std::clamp(settings.m_green, 0, 255),
                  std::clamp(settings.m_blue, 0, 255));
}

}  // namespace

CMaterialDlg::CMaterialDlg(const CMaterialSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(QString::fromUtf8("色，材質"));

    auto* colorButton = new QPushButton(QString::fromUtf8("色の設定"), this);
    colorButton->setObjectName(QStringLiteral("colorButton"));
    colorButton->setAutoDefault(false);
    m_swatch = new CColorSwatch(this);
    m_swatch->setObjectName(QStringLiteral("swatch"));
    m_swatch->SetColor(SwatchColor(m_settings));
    m_transparency = new CSpinEdit(kMaterialMin, kMaterialMax, this);
    m_transparency->setObjectName(QStringLiteral("transparency"));
    m_reflection = new CSpinEdit(kMaterialMin, kMaterialMax, this);
    m_reflection->setObjectName(QStringLiteral("reflection"));
    m_texture = MakeTextCombo(MaterialTextureList(), this);
    m_texture->setObjectName(QStringLiteral("texture"));
    const COkCancelButtons buttons = MakeOkCancel(this);

    const CMaterialForm form = MaterialFormFor(m_settings);
    m_transparency->SetText(QString::fromStdString(form.transparency));
    m_reflection->SetText(QString::fromStdString(form.reflection));
    m_shownTexture = ShowComboText(m_texture, MaterialTextureList(), m_settings.m_texture);

    // The colour button over its swatch on the left, the two numbers on the right.
    auto* values = new QGridLayout;
    values->addWidget(colorButton, 0, 0);
    values->addWidget(m_swatch, 1, 0, 2, 1);
    values->addWidget(new QLabel(QString::fromUtf8("透明度"), this), 1, 2);
    values->addWidget(m_transparency, 1, 3);
    values->addWidget(new QLabel(QString::fromUtf8("反射光"), this), 2, 2);
    values->addWidget(m_reflection, 2, 3);
    values->setColumnMinimumWidth(1, 16);
    values->setColumnStretch(1, 1);

    auto* texture = new QHBoxLayout;
    texture->addWidget(new QLabel(QString::fromUtf8("材　　質"), this));
    texture->addWidget(m_texture, 1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(buttons.ok);
    buttonRow->addWidget(buttons.cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(values);
    layout->addSpacing(12);
    layout->addLayout(texture);
    layout->addSpacing(12);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_texture->setMinimumContentsLength(24);

    connect(colorButton, &QPushButton::clicked, this, &CMaterialDlg::OnChooseColor);
}

void CMaterialDlg::OnChooseColor()
{
    const QColor chosen = CUserPrompts::Get().ChooseColor(this, SwatchColor(m_settings));
    if (!chosen.isValid()) return;
    m_settings.m_red = chosen.red();
    m_settings.m_green = chosen.green();
    m_settings.m_blue = chosen.blue();
    m_swatch->SetColor(SwatchColor(m_settings));
}

void CMaterialDlg::accept()
{
    CMaterialForm form;
    form.transparency = m_transparency->Text().toStdString();
    form.reflection = m_reflection->Text().toStdString();
    form.texture = ComboTextToStore(m_texture, m_shownTexture);
    switch (ReadMaterialForm(form, m_settings)) {
    case EMaterialField::kTransparency:
        RefuseField(this, m_transparency, IntegerFieldMessage(kMaterialMin, kMaterialMax));
        return;
    case EMaterialField::kReflection:
        RefuseField(this, m_reflection, IntegerFieldMessage(kMaterialMin, kMaterialMax));
        return;
    case EMaterialField::kNone:
        break;
    }
    QDialog::accept();
}

bool CMaterialDlg::EditLayer(QWidget* parent, int layerIndex)
{
    CMaterialDlg dialog(LoadMaterialSettings(layerIndex), parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    StoreMaterialSettings(layerIndex, dialog.Settings());
    return true;
}
