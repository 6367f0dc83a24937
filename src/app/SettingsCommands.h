// The settings commands: the layers dialog and the render settings dialog.
#pragma once

class CMainFrame;

// View > Layers: runs the layers dialog; the view then shows the new visibilities and colours,
// whichever button closed it.
void OnLayers(CMainFrame& frame);
// Rendering > Settings: edits the six scene settings, stored only on OK. The view is not
// repainted (the settings matter at the next render); a change is a step of the undo history.
void OnRenderSettings(CMainFrame& frame);
