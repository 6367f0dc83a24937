// Showing and hiding layers from the layers dialog.
#include "model/LayerVisibility.h"

#include "model/DialogFields.h"
#include "model/LayerTable.h"

double ToggledVisibility(double visible) { return visible == 0.0 ? 1.0 : 0.0; }

int LayerRowImage(double visible) { return TruncateToInt(visible); }

bool ToggleLayerVisibility(int layerIndex)
{
    if (layerIndex < 0 || layerIndex >= g_layerCount || layerIndex >= kMaxLayers) return false;
    double& visible = g_layerAttr[layerIndex][kVisible];
    visible = ToggledVisibility(visible);
    return true;
}
