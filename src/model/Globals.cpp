// Definitions of every process-wide value, in one place, with their start-of-process values.
#include "model/Globals.h"

#include "interaction/MoveState.h"
#include "model/LayerTable.h"
#include "model/SceneSettings.h"
#include "view/CameraState.h"

#include <algorithm>

int g_layerCount = 0;
std::string g_layerName[kMaxLayers];
double g_layerAttr[kMaxLayers][kLayerAttrCount] = {};
std::string g_layerTexture[kTextureSlots];

std::string g_sky = kDefaultSky;
std::string g_ground = kDefaultGround;
double g_north = 0.0;
double g_season = 0.0;
double g_latitude = 36.0;
double g_hour = 10.0;

float g_camOffset[3] = {0.0f, 0.0f, kDefaultCamOffsetZ};
double g_pitch = kDefaultPitch;
double g_yaw = kDefaultYaw;
double g_fovy = kDefaultFovy;
double g_orthoScale = kDefaultOrthoScale;
float g_walkDir[3] = {0.0f, 0.0f, -1.0f};
int g_perspective = 1;
int g_shaded = 1;
int g_walkThrough = 0;
int g_showGrid = 1;
int g_flatNormals = 1;

double g_winWidth = 0.0;
double g_winHeight = 0.0;
double g_aspect = 0.0;
double g_drawFovy = 0.0;
double g_modelview[16] = {};
double g_projection[16] = {};
int g_viewport[4] = {};
std::string g_povEnginePath;

int g_movingSelection = 0;
double g_moveFrom[3] = {};
double g_moveTo[3] = {};

void SetSceneSettingsDefaults()
{
    g_sky = kDefaultSky;
    g_ground = kDefaultGround;
    g_north = 0.0;
    g_season = 0.0;
    g_latitude = 36.0;
    g_hour = 10.0;
}

void SetCameraDefaults()
{
    g_shaded = 1;
    g_camOffset[0] = 0.0f;
    g_camOffset[1] = 0.0f;
    g_camOffset[2] = kDefaultCamOffsetZ;
    g_walkDir[0] = 0.0f;
    g_walkDir[1] = 0.0f;
    g_walkDir[2] = -1.0f;
    g_pitch = kDefaultPitch;
    g_yaw = kDefaultYaw;
    g_fovy = kDefaultFovy;
    g_orthoScale = kDefaultOrthoScale;
    g_perspective = 1;
    g_flatNormals = 1;
    g_walkThrough = 0;
    g_showGrid = 1;
}

void InitViewDefaults()
{
    SetCameraDefaults();
    g_movingSelection = 0;
    g_layerCount = 0;
    SetSceneSettingsDefaults();
}

void ResetGlobals()
{
    g_layerCount = 0;
    for (auto& name : g_layerName) name.clear();
    for (auto& attr : g_layerAttr) std::fill(std::begin(attr), std::end(attr), 0.0);
    for (auto& texture : g_layerTexture) texture.clear();
    SetSceneSettingsDefaults();
    SetCameraDefaults();
    g_winWidth = g_winHeight = g_aspect = g_drawFovy = 0.0;
    std::fill(std::begin(g_modelview), std::end(g_modelview), 0.0);
    std::fill(std::begin(g_projection), std::end(g_projection), 0.0);
    std::fill(std::begin(g_viewport), std::end(g_viewport), 0);
    g_povEnginePath.clear();
    g_movingSelection = 0;
    std::fill(std::begin(g_moveFrom), std::end(g_moveFrom), 0.0);
    std::fill(std::begin(g_moveTo), std::end(g_moveTo), 0.0);
}
