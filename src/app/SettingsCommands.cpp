// The settings commands run their dialogs over the main window. The layer table and the scene
// settings are saved with the model, so a change made in a dialog is a step of the undo
// history and marks the model modified: the save question then protects it like any other.
#include "app/SettingsCommands.h"

#include "app/DocumentHost.h"
#include "app/MainFrame.h"
#include "dialogs/LayerDlg.h"
#include "dialogs/RenderSettingsDlg.h"
#include "model/ModelEdits.h"
#include "model/RenderSettings.h"
#include "view/GLView.h"

void OnLayers(CMainFrame& frame)
{
    const CLayerTableState before = CLayerTableState::Capture();
    CLayerDlg dialog(&frame);
    dialog.exec();
    auto change = std::make_shared<CLayerTableChange>(before, CLayerTableState::Capture());
    if (!change->Empty())
        frame.Host().History().Record(change->ChangesVisibility() ? EEditStep::kLayers : EEditStep::kMaterial, change);
    frame.View()->LayersChanged();
}

void OnRenderSettings(CMainFrame& frame)
{
    CSceneSettingsState before = CSceneSettingsState::Capture();
    CRenderSettingsDlg dialog(LoadRenderSettings(), &frame);
    if (dialog.exec() == QDialog::Accepted) StoreRenderSettings(dialog.Settings());
    auto change = std::make_shared<CSceneSettingsChange>(std::move(before), CSceneSettingsState::Capture());
    if (!change->Empty()) frame.Host().History().Record(EEditStep::kRenderSettings, change);
}
