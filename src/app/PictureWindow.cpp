// The picture window: the picture in a scroll area, its size and render time in the title, a
// save button under it.
#include "app/PictureWindow.h"

#include "app/UserPrompts.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

CPictureWindow::CPictureWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("renderWindow"));
    m_label = new QLabel;
    m_label->setObjectName(QStringLiteral("picture"));
    auto* scroll = new QScrollArea;
    scroll->setWidget(m_label);
    scroll->setWidgetResizable(false);
    m_save = new QPushButton(QString::fromUtf8("保存..."));
    m_save->setObjectName(QStringLiteral("savePicture"));
    connect(m_save, &QPushButton::clicked, this, &CPictureWindow::OnSave);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);
}

void CPictureWindow::ShowPicture(const QImage& picture, const QString& title, const QString& name)
{
    m_picture = picture;
    m_name = name;
    m_label->setPixmap(QPixmap::fromImage(picture));
    m_label->resize(picture.size());
    setWindowTitle(title);
    // As big as the picture, but never past the screen: a picture of a maximised view would
    // otherwise push 保存... off the bottom. Scroll bars show the rest.
    const int extra = m_save->sizeHint().height() + 16;
    const QRect area = (parentWidget() ? parentWidget()->screen() : screen())->availableGeometry();
    const int frameWidth = 16, frameHeight = 48;  // the window manager's frame and title, roughly
    const QSize size(std::min(picture.width() + 4, area.width() - frameWidth),
                     std::min(picture.height() + 4 + extra, area.height() - frameHeight));
    resize(size);
    if (!isVisible()) {
        // First shown: centred on the screen rather than wherever the window manager finds room.
        move(area.left() + (area.width() - size.width() - frameWidth) / 2,
             area.top() + (area.height() - size.height() - frameHeight) / 2);
    }
    show();
    raise();
    activateWindow();
}

void CPictureWindow::OnSave()
{
    QString path =
        CUserPrompts::Get().SaveFileName(this, QString::fromUtf8("PNG ファイル (*.png)"), m_name, true);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path += QStringLiteral(".png");
    QSaveFile file(path);
    QString error;
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
    } else if (!m_picture.save(&file, "PNG")) {
        error = file.errorString().isEmpty() ? QString::fromUtf8("PNG に変換できません") : file.errorString();
        file.cancelWriting();
    } else if (!file.commit()) {
        error = file.errorString();
    }
    if (!error.isEmpty())
        CUserPrompts::Get().Tell(this, QMessageBox::Warning, QString::fromUtf8("保存"),
                                 QString::fromUtf8("画像 %1 を保存できません\n\n%2").arg(QDir::toNativeSeparators(path), error));
}
