// The render settings dialog: the fields are filled from the settings it is given and read
// back, checked, on OK. Numbers are written and read the same way in every locale.
#include "dialogs/RenderSettingsDlg.h"

#include "dialogs/DialogWidgets.h"
#include "dialogs/SpinEdit.h"
#include "model/DialogFields.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* Label(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

QString FieldText(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CRenderSettingsDlg::CRenderSettingsDlg(const CRenderSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(QString::fromUtf8("ﾀﾞｲｱﾛｸﾞ"));

    m_sky = MakeTextCombo(SkyList(), this);
    m_sky->setObjectName(QStringLiteral("sky"));
    m_ground = MakeTextCombo(GroundList(), this);
    m_ground->setObjectName(QStringLiteral("ground"));
    auto* sun = new QGroupBox(QString::fromUtf8("太陽の位置"), this);
    m_north = new CSpinEdit(kNorthMin, kNorthMax, sun);
    m_north->setObjectName(QStringLiteral("north"));
    m_latitude = new CSpinEdit(int(kLatitudeMin), int(kLatitudeMax), sun);
    m_latitude->setObjectName(QStringLiteral("latitude"));
    m_season = MakeTextCombo(SeasonList(), sun);
    m_season->setObjectName(QStringLiteral("season"));
    m_hour = new CSpinEdit(int(kHourMin), int(kHourMax), sun);
    m_hour->setObjectName(QStringLiteral("hour"));
    const COkCancelButtons buttons = MakeOkCancel(this);

    const CRenderSettingsForm form = RenderSettingsFormFor(m_settings);
    m_shownSky = ShowComboText(m_sky, SkyList(), m_settings.m_sky);
    m_shownGround = ShowComboText(m_ground, GroundList(), m_settings.m_ground);
    m_shownSeason = ShowComboText(m_season, SeasonList(), m_settings.m_season);
    m_north->SetText(FieldText(form.north));
    m_latitude->SetText(FieldText(form.latitude));
    m_hour->SetText(FieldText(form.hour));

    auto* texts = new QGridLayout;
    texts->addWidget(Label("空", this), 0, 0);
    texts->addWidget(m_sky, 0, 1);
    texts->addWidget(Label("地面", this), 1, 0);
    texts->addWidget(m_ground, 1, 1);
    texts->setColumnStretch(1, 1);
    m_sky->setMinimumContentsLength(30);
    m_ground->setMinimumContentsLength(30);

    // North and latitude on the left, season and hour on the right, each remark under its field.
    auto* place = new QGridLayout(sun);
    place->addWidget(Label("真北（度）", sun), 0, 0);
    place->addWidget(m_north, 0, 1);
    place->addWidget(Label("（北から反時計回り）", sun), 1, 0, 1, 2);
    place->addWidget(Label("緯度（度）", sun), 2, 0);
    place->addWidget(m_latitude, 2, 1);
    place->addWidget(Label("季節", sun), 0, 3);
    place->addWidget(m_season, 0, 4);
    place->addWidget(Label("時間（時）", sun), 2, 3);
    place->addWidget(m_hour, 2, 4);
    place->addWidget(Label("（0～24時）", sun), 3, 3, 1, 2);
    place->setColumnMinimumWidth(2, 20);
    place->setColumnStretch(2, 1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(buttons.ok);
    buttonRow->addWidget(buttons.cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(texts);
    layout->addWidget(sun);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CRenderSettingsDlg::accept()
{
    CRenderSettingsForm form;
    form.sky = ComboTextToStore(m_sky, m_shownSky);
    form.north = m_north->Text().toStdString();
    form.latitude = m_latitude->Text().toStdString();
    form.hour = m_hour->Text().toStdString();
    form.season = ComboTextToStore(m_season, m_shownSeason);
    form.ground = ComboTextToStore(m_ground, m_shownGround);
    switch (ReadRenderSettingsForm(form, m_settings)) {
    case ERenderField::kNorth:
        RefuseField(this, m_north, IntegerFieldMessage(kNorthMin, kNorthMax));
        return;
    case ERenderField::kLatitude:
        RefuseField(this, m_latitude, NumberFieldMessage(kLatitudeMin, kLatitudeMax));
        return;
    case ERenderField::kHour:
        RefuseField(this, m_hour, NumberFieldMessage(kHourMin, kHourMax));
        return;
    case ERenderField::kNone:
        break;
    }
    QDialog::accept();
}
