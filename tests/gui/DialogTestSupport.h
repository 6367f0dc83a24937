// Helpers of the settings-dialog tests: acting on a modal dialog once it shows, clicking and
// typing as a user does.
#pragma once

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

// Runs `action` on the modal dialog titled `title` as soon as it is the active modal widget;
// the action is expected to close it. A dialog that never shows fails the test; whatever modal
// is up then is rejected so the run cannot hang. `shown`, when given, is set once the action
// has run.
inline void WhenModalShows(const QString& title, std::function<void(QDialog*)> action, bool* shown = nullptr)
{
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible() && dialog->windowTitle() == title) {
            timer->stop();
            timer->deleteLater();
            const QPointer<QDialog> guard(dialog);
            action(dialog);
            if (shown) *shown = true;
            // An action cut short by a failed check leaves its dialog open; close it so the
            // command returns and the test ends.
            if (guard && guard->isVisible()) guard->reject();
        } else if (clock->elapsed() > 10000) {
            timer->stop();
            timer->deleteLater();
            if (dialog) dialog->reject();
            QFAIL(qPrintable(QStringLiteral("no modal dialog titled ") + title));
        }
    });
    timer->start(10);
}

inline QPushButton* Button(QWidget* dialog, const char* text)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == QString::fromUtf8(text)) return button;
    return nullptr;
}

inline void ClickButton(QWidget* dialog, const char* text)
{
    QPushButton* button = Button(dialog, text);
    QVERIFY2(button, text);
    QTest::mouseClick(button, Qt::LeftButton);
}

inline QPoint RowCentre(QTreeWidget* list, int row)
{
    return list->visualItemRect(list->topLevelItem(row)).center();
}

// A double-click as the window system delivers it: press, release, press, double-click, release.
inline void DoubleClick(QWidget* widget, QPoint position, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(widget, button, {}, position);
    QTest::mouseRelease(widget, button, {}, position);
    QTest::mousePress(widget, button, {}, position);
    QTest::mouseDClick(widget, button, {}, position);
    QTest::mouseRelease(widget, button, {}, position);
}

// Replaces a field's text by typing, as a user selecting all and typing over it.
inline void TypeInto(QWidget* field, const QString& text)
{
    // With the keyboard focus on the field, as when a user types (a combo completes only then).
    field->window()->activateWindow();
    field->setFocus(Qt::MouseFocusReason);
    QVERIFY(QTest::qWaitForWindowActive(field->window()));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) QTest::keyClick(field, Qt::Key_Delete);
    // ASCII as key presses; other characters as key events carrying the text, as an input method
    // delivers Japanese.
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(field, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

inline QString FieldText(QWidget* field)
{
    if (auto* combo = qobject_cast<QComboBox*>(field)) return combo->currentText();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(field)) return spin->text();
    return QString();
}

// Whether the keyboard focus of `dialog` is on `field` (or the line edit inside it).
inline bool FocusIsOn(QWidget* dialog, QWidget* field)
{
    QWidget* focus = dialog->focusWidget();
    return focus && (focus == field || field->isAncestorOf(focus));
}
