// CSunStudyDlg: the sun study dialog: the site's season, latitude and true north, the first and
// last hour and the step of the series, and the folder its pictures go to.
#pragma once

#include "export/SunStudySettings.h"

#include <QDialog>

class CSpinEdit;
class QComboBox;
class QLineEdit;

class CSunStudyDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSunStudyDlg(const CSunStudySettings& settings, QWidget* parent = nullptr);

    // The values confirmed by OK (before OK, those the dialog was opened with).
    const CSunStudySettings& Settings() const { return m_settings; }

public slots:
    // OK: refuses a field that is out of range (a message, the focus on it, the dialog stays
    // open); otherwise takes the fields and closes.
    void accept() override;

private:
    void OnBrowse();

    CSunStudySettings m_settings;
    QComboBox* m_season;
    CSpinEdit* m_north;
    CSpinEdit* m_latitude;
    CSpinEdit* m_from;
    CSpinEdit* m_to;
    CSpinEdit* m_step;
    QLineEdit* m_folder;
};
