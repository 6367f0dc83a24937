// Lock states from XKB's named indicators on X11.
#include "app/LockIndicators.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStatusBar>
#include <QTimer>

#include "app/XkbLocks.h"

namespace {

const char* const kTexts[] = {"ｶﾅ", "CAP", "NUM", "SCRL"};
const char* const kIndicatorNames[] = {"Kana", "Caps Lock", "Num Lock", "Scroll Lock"};

void* X11Display()
{
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) return x11->display();
    return nullptr;
}

}  // namespace

CLockIndicators::CLockIndicators(QStatusBar* bar) : QObject(bar)
{
    for (const char* text : kTexts) {
        auto* label = new QLabel(QString::fromUtf8(text), bar);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        bar->addPermanentWidget(label);
        m_labels << label;
    }
    qGuiApp->installEventFilter(this);
    // Lock keys pressed while another program has the focus change the state too.
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CLockIndicators::Refresh);
    timer->start(1000);
    Refresh();
}

void CLockIndicators::Refresh()
{
    void* display = X11Display();
    for (int i = 0; i < m_labels.size(); ++i) {
        bool on = false;
        const bool known = QueryXkbIndicator(display, kIndicatorNames[i], on);
        m_labels[i]->setEnabled(known && on);
    }
}

bool CLockIndicators::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease || event->type() == QEvent::ApplicationActivate)
        QTimer::singleShot(0, this, &CLockIndicators::Refresh);
    return false;
}
