// CRenderSettingsDlg: the render settings dialog: sky and ground texts, and true north,
// latitude, season and hour, which place the sun.
#pragma once

#include "model/RenderSettings.h"

#include <QDialog>

class CSpinEdit;
class QComboBox;

class CRenderSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRenderSettingsDlg(const CRenderSettings& settings, QWidget* parent = nullptr);

    // The values confirmed by OK (before OK, those the dialog was opened with).
    const CRenderSettings& Settings() const { return m_settings; }

public slots:
    // OK: refuses north outside 0..360 or not whole, latitude outside -90..90, hour outside
    // 0..24 (a message, the focus on the field, the dialog stays open); otherwise takes the
    // fields and closes.
    void accept() override;

private:
    CRenderSettings m_settings;
    // The bytes each combo was filled from, so an untouched field stores them unchanged.
    std::string m_shownSky, m_shownSeason, m_shownGround;
    QComboBox* m_sky;
    QComboBox* m_ground;
    CSpinEdit* m_north;
    CSpinEdit* m_latitude;
    QComboBox* m_season;
    CSpinEdit* m_hour;
};
