// The sun study dialog: fields filled from the settings it is given, read back and checked on
// OK; the folder typed or chosen with "参照...".
#include "dialogs/SunStudyDlg.h"

#include "app/UserPrompts.h"
#include "dialogs/DialogWidgets.h"
#include "dialogs/SpinEdit.h"
#include "model/RenderSettings.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* Label(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

CSpinEdit* Spin(int min, int max, const char* name, const std::string& text, QWidget* parent)
{
    auto* spin = new CSpinEdit(min, max, parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->SetText(QString::fromStdString(text));
    return spin;
}

}  // namespace

CSunStudyDlg::CSunStudyDlg(const CSunStudySettings& settings, QWidget* parent) : QDialog(parent), m_settings(settings)
{
    setWindowTitle(QString::fromUtf8("日影図"));
    const CSunStudyForm form = SunStudyFormFor(settings);

    auto* site = new QGroupBox(QString::fromUtf8("太陽の位置"), this);
    m_season = new QComboBox(site);
    m_season->setObjectName(QStringLiteral("season"));
    for (const std::string& entry : SeasonList()) m_season->addItem(QString::fromUtf8(entry));
    m_season->setCurrentText(QString::fromStdString(form.season));
    m_north = Spin(kNorthMin, kNorthMax, "north", form.north, site);
    m_latitude = Spin(int(kLatitudeMin), int(kLatitudeMax), "latitude", form.latitude, site);
    auto* place = new QGridLayout(site);
    place->addWidget(Label("季節", site), 0, 0);
    place->addWidget(m_season, 0, 1);
    place->addWidget(Label("緯度（度）", site), 1, 0);
    place->addWidget(m_latitude, 1, 1);
    place->addWidget(Label("真北（度）", site), 2, 0);
    place->addWidget(m_north, 2, 1);
    place->addWidget(Label("（北から反時計回り）", site), 2, 2);

    auto* hours = new QGroupBox(QString::fromUtf8("時刻（時）"), this);
    m_from = Spin(int(kHourMin), int(kHourMax), "from", form.from, hours);
    m_to = Spin(int(kHourMin), int(kHourMax), "to", form.to, hours);
    m_step = Spin(0, int(kHourMax), "step", form.step, hours);
    auto* series = new QGridLayout(hours);
    series->addWidget(Label("始め", hours), 0, 0);
    series->addWidget(m_from, 0, 1);
    series->addWidget(Label("終わり", hours), 0, 2);
    series->addWidget(m_to, 0, 3);
    series->addWidget(Label("間隔", hours), 0, 4);
    series->addWidget(m_step, 0, 5);

    m_folder = new QLineEdit(QString::fromStdString(form.folder), this);
    m_folder->setObjectName(QStringLiteral("folder"));
    m_folder->setMinimumWidth(280);
    auto* browse = new QPushButton(QString::fromUtf8("参照..."), this);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, &CSunStudyDlg::OnBrowse);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(Label("出力フォルダー", this));
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browse);

    const COkCancelButtons buttons = MakeOkCancel(this);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(buttons.ok);
    buttonRow->addWidget(buttons.cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(site);
    layout->addWidget(hours);
    layout->addLayout(folderRow);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CSunStudyDlg::OnBrowse()
{
    const QString folder = CUserPrompts::Get().FolderName(this, m_folder->text());
    if (!folder.isEmpty()) m_folder->setText(QDir::toNativeSeparators(folder));
}

void CSunStudyDlg::accept()
{
    CSunStudyForm form;
    form.season = m_season->currentText().toStdString();
    form.north = m_north->Text().toStdString();
    form.latitude = m_latitude->Text().toStdString();
    form.from = m_from->Text().toStdString();
    form.to = m_to->Text().toStdString();
    form.step = m_step->Text().toStdString();
    form.folder = m_folder->text().toStdString();
    std::string message;
    QWidget* field = nullptr;
    switch (ReadSunStudyForm(form, m_settings, message)) {
    case ESunStudyField::kNone: QDialog::accept(); return;
    case ESunStudyField::kNorth: field = m_north; break;
    case ESunStudyField::kLatitude: field = m_latitude; break;
    case ESunStudyField::kFrom: field = m_from; break;
    case ESunStudyField::kTo: field = m_to; break;
    case ESunStudyField::kStep: field = m_step; break;
    case ESunStudyField::kFolder: field = m_folder; break;
    }
    RefuseField(this, field, message);
}
