// vorla-cli insert: the faces and new layers of one model file added to another, as the
// viewer inserts them; the move is left at the origin, so the faces stay where they were.
#include "cli/Commands.h"

#include "cli/CliSupport.h"
#include "import/ModelInsert.h"
#include "model/FileAccess.h"

int RunInsert(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        if (!arg.empty() && arg[0] == '-') return UsageError("unknown option " + arg);
        files.push_back(arg);
    }
    if (files.size() != 3) return UsageError("insert needs BASE, ADD and OUT");
    const std::string& base = files[0];
    const std::string& add = files[1];
    const std::string& out = files[2];
    if (!IsReadableExtension(FileExtension(base)))
        return ReportError(base, kReadableKinds);
    if (FileExtension(add) != ".vrl") return ReportError(add, "only model files (.vrl) can be inserted");
    if (!IsWritableExtension(FileExtension(out)))
        return ReportError(out, kWritableKinds);

    CMyvorla_ltDoc doc;
    CInputInfo info;
    if (!ReadInputModel(base, doc, info)) return kExitFailure;
    CInputFile file;
    std::string error;
    if (!file.Open(add, error)) return ReportError(add, error);
    CFdSource source(file.Fd());
    const CInsertResult result = InsertModel(source, doc, file.Size());
    if (!result.ok) return ReportError(add, result.error);
    if (!WriteOutputModel(out, doc)) return kExitFailure;
    return kExitOk;
}
