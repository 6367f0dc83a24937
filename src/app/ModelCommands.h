// Commands that add faces to the open model: insert another model file, create a sphere.
#pragma once

#include <QString>

class CMainFrame;

// Inserts `path`, or the file the user chooses when it is empty.
void OnInsertModel(CMainFrame& frame, const QString& path = QString());
void OnCreateSphere(CMainFrame& frame);
