// The layers dialog: rows built from the layer table, visibility toggled in the table at the
// click, the colour and material dialog on a double-click.
#include "dialogs/LayerDlg.h"

#include "dialogs/DialogWidgets.h"
#include "dialogs/MaterialDlg.h"
#include "model/LayerTable.h"
#include "model/LayerVisibility.h"
#include "model/TextEncoding.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kCheckSize = 16;

// A 16 x 16 check box drawn at `scale` device pixels per pixel: a white box with a grey
// border, ticked or not.
QPixmap DrawCheck(bool ticked, qreal scale)
{
    QPixmap pixmap(QSize(kCheckSize, kCheckSize) * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(2.5, 2.5, 11, 11));
    if (ticked) {
        QPen tick(QColor(0x10, 0x10, 0x10), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(tick);
        painter.setBrush(Qt::NoBrush);
        const QPointF points[] = {{4.5, 8.0}, {7.0, 10.5}, {11.5, 5.0}};
        painter.drawPolyline(points, 3);
    }
    return pixmap;
}

QPixmap DrawBlank(qreal scale)
{
    QPixmap pixmap(QSize(kCheckSize, kCheckSize) * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QIcon CLayerDlg::CheckIcon(int image)
{
    QIcon icon;
    for (qreal scale : {1.0, 2.0}) {
        if (image == 0 || image == 1)
            icon.addPixmap(DrawCheck(image == 1, scale));
        else
            icon.addPixmap(DrawBlank(scale));
    }
    return icon;
}

CLayerDlg::CLayerDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8("画　　層"));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("layerList"));
    m_list->setColumnCount(1);
    m_list->setHeaderLabel(QString::fromUtf8("画　　層"));
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setIconSize(QSize(kCheckSize, kCheckSize));
    // Long names are shown whole: the column grows with its widest name and the list scrolls.
    // It is never narrower than the list, so the whole row takes a click, not only the name.
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Fixed);
    m_list->setExpandsOnDoubleClick(false);
    m_list->setMinimumSize(200, 150);
    m_list->viewport()->installEventFilter(this);

    for (int i = 0; i < g_layerCount && i < kMaxLayers; ++i) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setData(0, Qt::UserRole, i);
    }
    for (int i = 0; i < g_layerCount && i < kMaxLayers; ++i) UpdateRow(i);
    FitColumn();

    const COkCancelButtons buttons = MakeOkCancel(this);
    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addWidget(buttons.ok);
    buttonColumn->addWidget(buttons.cancel);
    buttonColumn->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttonColumn);

    // Qt reports the first click of a double-click as a click, which has toggled the layer
    // already; the double-click toggles it back before opening the colour and material dialog.
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OnClicked(item); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { OnDoubleClicked(item); });
}

void CLayerDlg::FitColumn()
{
    m_list->resizeColumnToContents(0);
    QHeaderView* header = m_list->header();
    header->resizeSection(0, std::max(header->sectionSize(0), m_list->viewport()->width()));
}

bool CLayerDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Resize) FitColumn();
    // Only the left button acts on a row; a double-click of another button is dropped before
    // the list can report it.
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return true;
    return QDialog::eventFilter(watched, event);
}

void CLayerDlg::UpdateRow(int layerIndex)
{
    QTreeWidgetItem* item = m_list->topLevelItem(layerIndex);
    if (!item) return;
    item->setIcon(0, CheckIcon(LayerRowImage(g_layerAttr[layerIndex][kVisible])));
    item->setText(0, QString::fromStdString(ToDisplayUtf8(g_layerName[layerIndex])));
}

void CLayerDlg::OnClicked(QTreeWidgetItem* item)
{
    const int layerIndex = item->data(0, Qt::UserRole).toInt();
    if (ToggleLayerVisibility(layerIndex)) UpdateRow(layerIndex);
}

void CLayerDlg::OnDoubleClicked(QTreeWidgetItem* item)
{
    const int layerIndex = item->data(0, Qt::UserRole).toInt();
    if (!ToggleLayerVisibility(layerIndex)) return;
    UpdateRow(layerIndex);
    CMaterialDlg::EditLayer(this, layerIndex);
}
