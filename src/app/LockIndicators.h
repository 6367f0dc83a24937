// The status bar's four lock indicators (kana, caps, num, scroll). Where the X server tells the
// lock state (XKB), an indicator is shown when its lock is on; otherwise all four are greyed.
#pragma once

#include <QLabel>
#include <QList>
#include <QObject>

class QStatusBar;

class CLockIndicators : public QObject {
    Q_OBJECT
public:
    CLockIndicators(QStatusBar* bar);
    // Reads the lock state again.
    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QLabel*> m_labels;
};
