// The layers dialog's rules for showing and hiding a layer, without the list widget.
#pragma once

// A click flips the visible value: 0.0 becomes 1.0, anything else (1.0 or a stray value from
// a file) becomes 0.0.
double ToggledVisibility(double visible);

// The row's check image: 0 empty box, 1 ticked box. It is the visible value truncated to an
// integer, so a stray value shows an image number outside 0..1 (no image).
int LayerRowImage(double visible);

// Toggles layer `layerIndex` if it is a layer in use; returns whether it was.
bool ToggleLayerVisibility(int layerIndex);
