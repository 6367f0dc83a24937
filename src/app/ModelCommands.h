// Commands that add faces to the open model: insert another model file, create a sphere.
#pragma once

class CMainFrame;

void OnInsertModel(CMainFrame& frame);
void OnCreateSphere(CMainFrame& frame);
