// Which handler runs each command, grouped by menu.
#include "app/CommandRouting.h"

#include "app/AboutDialog.h"
#include "app/CommandIds.h"
#include "app/DocumentHost.h"
#include "app/ExchangeCommands.h"
#include "app/MainFrame.h"
#include "app/ModelCommands.h"
#include "app/PrintCommands.h"
#include "app/RenderCommands.h"
#include "app/SettingsCommands.h"
#include "view/GLView.h"

void RouteCommands(CMainFrame& frame)
{
    CDocumentHost& host = frame.Host();
    CMyvorla_ltView& view = *frame.View();

    // File
    frame.Route(ID_FILE_NEW, [&host] { host.OnFileNew(); });
    frame.Route(ID_FILE_OPEN, [&host] { host.OnFileOpen(); });
    frame.Route(ID_FILE_SAVE, [&host] { host.OnFileSave(); });
    frame.Route(ID_FILE_SAVE_AS, [&host] { host.OnFileSaveAs(); });
    frame.Route(ID_IMPORT_DXF, [&frame] { OnImportDxf(frame, EDxfImport::Default); });
    frame.Route(ID_IMPORT_DXF_FULL, [&frame] { OnImportDxf(frame, EDxfImport::Full); });
    frame.Route(ID_EXPORT_DXF, [&frame] { OnExportDxf(frame); });
    frame.Route(ID_EXPORT_POV, [&frame] { OnExportPov(frame); });
    frame.Route(ID_INSERT_MODEL, [&frame] { OnInsertModel(frame); });
    frame.Route(ID_FILE_PRINT, [&frame] { OnFilePrint(frame); });
    frame.Route(ID_FILE_PRINT_PREVIEW, [&frame] { OnFilePrintPreview(frame); });
    frame.Route(ID_FILE_PRINT_SETUP, [&frame] { OnFilePrintSetup(frame); });
    frame.Route(ID_APP_EXIT, [&frame] { frame.close(); });

    // Edit
    frame.Route(ID_EDIT_CUT, [&view] { view.OnEditCut(); });
    frame.Route(ID_EDIT_SELECT_ALL, [&view] { view.OnEditSelectAll(); });
    frame.Route(ID_EDIT_ESCAPE, [&view] { view.OnEscape(); });

    // Tool bar
    frame.Route(ID_TOOL_MOVE, [&view] { view.OnToolMove(); });
    frame.Route(ID_TOOL_ROTATE, [&view] { view.OnToolRotate(); });
    frame.Route(ID_TOOL_ZOOM, [&view] { view.OnToolZoom(); });

    // View
    frame.Route(ID_VIEW_WIREFRAME, [&view] { view.OnWireframe(); });
    frame.Route(ID_VIEW_PARALLEL, [&view] { view.OnParallel(); });
    frame.Route(ID_VIEW_WALKTHROUGH, [&view] { view.OnWalkThrough(); });
    frame.Route(ID_VIEW_LAYERS, [&frame] { OnLayers(frame); });
    frame.Route(ID_VIEW_FIT, [&view] { view.OnFitToView(); });

    // Create
    frame.Route(ID_CREATE_SPHERE, [&frame] { OnCreateSphere(frame); });

    // Render
    frame.Route(ID_RENDER_SETTINGS, [&frame] { OnRenderSettings(frame); });
    frame.Route(ID_RENDER, [&frame] { OnRender(frame); });
    frame.Route(ID_SUN_STUDY, [&frame] { OnSunStudy(frame); });

    // Help
    frame.Route(ID_APP_ABOUT, [&frame] {
        CAboutDlg about(&frame);
        about.exec();
    });

    // One view, no panes to cycle through.
    frame.Route(ID_NEXT_PANE, [] {});
    frame.Route(ID_PREV_PANE, [] {});
}
