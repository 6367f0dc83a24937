// Printing and previewing the view's picture, and the printer set-up.
#pragma once

class CMainFrame;

void OnFilePrint(CMainFrame& frame);
void OnFilePrintPreview(CMainFrame& frame);
void OnFilePrintSetup(CMainFrame& frame);
