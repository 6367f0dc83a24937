// Rendering the model with POV-Ray: one render at a time with its progress and Cancel, the
// finished picture in one reused window, and the sun study series.
#pragma once

class CMainFrame;

// レンダリング: writes TEMP.pov in the current folder and renders it at the view's size into
// TEMP.png; while a render or sun study runs, shows its progress instead.
void OnRender(CMainFrame& frame);

// 日影図...: asks for the site, the hours and the folder, then renders one picture per hour
// and their contact sheet; while a render runs, shows its progress instead.
void OnSunStudy(CMainFrame& frame);
