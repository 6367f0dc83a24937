// Insert and Sphere: the faces are added to the model and the view shows them at once.
#include "app/ModelCommands.h"

#include "app/DocumentHost.h"
#include "app/MainFrame.h"
#include "app/UserPrompts.h"
#include "import/ModelInsert.h"
#include "interaction/Editing.h"
#include "model/FileAccess.h"
#include "view/GLView.h"
#include "view/Sphere.h"

#include <QGuiApplication>

void OnInsertModel(CMainFrame& frame)
{
    CDocumentHost& host = frame.Host();
    CMyvorla_ltView& view = *frame.View();
    const QString path = CUserPrompts::Get().OpenFileName(&frame, QString::fromUtf8("Vorla_IIIファイル(*.vrl)"),
                                                          QStringLiteral("*.vrl"));
    if (path.isEmpty()) return;

    CInputFile file;
    std::string error;
    if (!file.Open(path.toStdString(), error)) {
        // As before any file is read, the selection is cleared.
        view.Apply(ClearSelection(host.Doc()));
        CUserPrompts::Get().Tell(&frame, QMessageBox::Warning, QString::fromUtf8("ワーニング"),
                                 QString::fromUtf8("%1 が開けません\n\n%2").arg(path, QString::fromStdString(error)));
        return;
    }
    CInsertResult result;
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        CFdSource source(file.Fd());
        result = InsertModel(source, host.Doc(), file.Size());
        QGuiApplication::restoreOverrideCursor();
    }
    if (!result.ok) {
        // Nothing of the file was merged; the model is as it was.
        CUserPrompts::Get().Tell(&frame, QMessageBox::Warning, QString::fromUtf8("ワーニング"),
                                 QString::fromUtf8("%1 は挿入できません\n\n%2").arg(path, QString::fromStdString(result.error)));
        return;
    }
    view.ModelChanged();
    if (result.startMoveTracking) view.OnInsertFinished();
}

void OnCreateSphere(CMainFrame& frame)
{
    AddSphere(frame.Host().Doc());
    frame.View()->ModelChanged();
}
