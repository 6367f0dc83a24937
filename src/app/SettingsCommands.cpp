// The settings commands run their dialogs over the main window.
#include "app/SettingsCommands.h"

#include "app/MainFrame.h"
#include "dialogs/LayerDlg.h"
#include "dialogs/RenderSettingsDlg.h"
#include "model/RenderSettings.h"
#include "view/GLView.h"

void OnLayers(CMainFrame& frame)
{
    CLayerDlg dialog(&frame);
    dialog.exec();
    frame.View()->LayersChanged();
}

void OnRenderSettings(CMainFrame& frame)
{
    CRenderSettingsDlg dialog(LoadRenderSettings(), &frame);
    if (dialog.exec() == QDialog::Accepted) StoreRenderSettings(dialog.Settings());
}
