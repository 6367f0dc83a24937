// vorla-cli sphere: one sphere of radius 1000 around the origin added to a model or to an
// empty one, as the viewer's sphere command adds it.
#include "cli/Commands.h"

#include "cli/CliSupport.h"
#include "view/CameraState.h"
#include "view/Sphere.h"

int RunSphere(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    bool smooth = false;
    for (const std::string& arg : args) {
        if (arg == "--smooth") {
            smooth = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return UsageError("unknown option " + arg);
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty() || files.size() > 2) return UsageError("sphere needs [IN] OUT");
    const std::string& out = files.back();
    if (files.size() == 2 && !IsReadableExtension(FileExtension(files[0])))
        return ReportError(files[0], kReadableKinds);
    if (!IsWritableExtension(FileExtension(out)))
        return ReportError(out, kWritableKinds);

    CMyvorla_ltDoc doc;
    CInputInfo info;
    if (files.size() == 2 && !ReadInputModel(files[0], doc, info)) return kExitFailure;
    g_flatNormals = smooth ? 0 : 1;
    AddSphere(doc);
    if (!WriteOutputModel(out, doc)) return kExitFailure;
    return kExitOk;
}
