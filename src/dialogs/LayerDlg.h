// CLayerDlg: the layers dialog. One row per layer with a shown/hidden check image; a click
// shows or hides the layer at once, a double-click opens its colour and material dialog.
#pragma once

#include <QDialog>
#include <QIcon>

class QTreeWidget;
class QTreeWidgetItem;

class CLayerDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLayerDlg(QWidget* parent = nullptr);

    QTreeWidget* List() { return m_list; }

    // The row mark of image number `image` (LayerRowImage): 0 an empty box, 1 a ticked box,
    // any other number a blank of the same size.
    static QIcon CheckIcon(int image);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateRow(int layerIndex);
    // Widens the column to the widest row or the whole list, whichever is wider.
    void FitColumn();
    void OnClicked(QTreeWidgetItem* item);
    void OnDoubleClicked(QTreeWidgetItem* item);

    QTreeWidget* m_list;
};
