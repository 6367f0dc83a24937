// The settings commands run their dialogs over the main window. The layer table and the scene
// settings are saved with the model, so a change made in a dialog marks the model modified:
// the save question then protects it like any other change.
#include "app/SettingsCommands.h"

#include "app/DocumentHost.h"
#include "app/MainFrame.h"
#include "dialogs/LayerDlg.h"
#include "dialogs/RenderSettingsDlg.h"
#include "model/ModelFile.h"
#include "model/RenderSettings.h"
#include "view/GLView.h"

namespace {

// The scene settings and layer table exactly as a save would write them.
std::string SavedTables()
{
    CStringSink sink;
    WriteModelFile(sink, {});
    return sink.m_bytes;
}

void MarkModifiedIfChanged(CMainFrame& frame, const std::string& before)
{
    if (SavedTables() != before) frame.Host().Doc().SetModifiedFlag(true);
}

}  // namespace

void OnLayers(CMainFrame& frame)
{
    const std::string before = SavedTables();
    CLayerDlg dialog(&frame);
    dialog.exec();
    MarkModifiedIfChanged(frame, before);
    frame.View()->LayersChanged();
}

void OnRenderSettings(CMainFrame& frame)
{
    const std::string before = SavedTables();
    CRenderSettingsDlg dialog(LoadRenderSettings(), &frame);
    if (dialog.exec() == QDialog::Accepted) StoreRenderSettings(dialog.Settings());
    MarkModifiedIfChanged(frame, before);
}
