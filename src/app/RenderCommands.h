// Rendering the model with POV-Ray: the scene file, the renderer started without waiting,
// and the picture shown in a window of ours when the renderer has finished.
#pragma once

class CMainFrame;

void OnRender(CMainFrame& frame);
