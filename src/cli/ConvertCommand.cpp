// vorla-cli convert: read a model in one format and write it in another.
#include "cli/Commands.h"

#include "cli/CliSupport.h"

int RunConvert(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    CPovCliOptions pov;
    CInputOptions input;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == kDxfFullOption) {
            input.dxfFull = true;
            continue;
        }
        bool taken = false;
        std::string error;
        if (!ParsePovOption(args, i, pov, taken, error)) return UsageError(error);
        if (taken) continue;
        const std::string& arg = args[i];
        if (!arg.empty() && arg[0] == '-') return UsageError("unknown option " + arg);
        files.push_back(arg);
    }
    if (files.size() != 2) return UsageError("convert needs IN and OUT");
    const std::string& in = files[0];
    const std::string& out = files[1];
    if (!IsReadableExtension(FileExtension(in))) return ReportError(in, kReadableKinds);
    if (const std::string misfit = CheckInputOptions(in, input); !misfit.empty()) return UsageError(misfit);
    if (!IsWritableExtension(FileExtension(out)))
        return ReportError(out, kWritableKinds);
    if (!pov.firstGiven.empty() && !IsPovOutputExtension(FileExtension(out)))
        return UsageError(pov.firstGiven + " applies to .pov and .png output only");
    CMyvorla_ltDoc doc;
    CInputInfo info;
    if (!ReadInputModel(in, doc, info, input)) return kExitFailure;
    if (!WriteOutputModel(out, doc, pov)) return kExitFailure;
    return kExitOk;
}
