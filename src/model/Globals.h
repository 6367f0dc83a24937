// Start-of-process state of every process-wide value, and the view-creation defaults.
#pragma once

// Puts every g_ global back to the value it has when the process starts.
void ResetGlobals();

// The view's creation step: camera and display defaults, no layers, default scene settings,
// no pending move. Does not look for POV-Ray.
void InitViewDefaults();
