// CPictureWindow: the one window that shows a rendered picture, reused by every render, with
// "保存..." to save the picture as PNG where the user chooses.
#pragma once

#include <QImage>
#include <QWidget>

class QLabel;
class QPushButton;

class CPictureWindow : public QWidget {
    Q_OBJECT
public:
    explicit CPictureWindow(QWidget* parent);

    // Shows `picture` with `title`, brings the window to the front; `name` (a file name, with or without
    // its folder) is offered when saving.
    void ShowPicture(const QImage& picture, const QString& title, const QString& name);
    const QImage& Picture() const { return m_picture; }

    // "保存...": asks for a file and writes the picture as PNG, whole or not at all.
    void OnSave();

private:
    QImage m_picture;
    QString m_name;
    QLabel* m_label;
    QPushButton* m_save;
};
