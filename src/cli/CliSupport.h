// Shared pieces of the command-line tool: error reporting, number text, model input and output.
#pragma once

#include "cli/PovOutput.h"
#include "model/Document.h"

#include <string>
#include <string_view>

// Exit statuses of every verb.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints "vorla-cli: PATH: what" to stderr and returns kExitFailure.
int ReportError(const std::string& path, const std::string& what);
void ReportWarning(const std::string& path, const std::string& what);

// Shortest text that reads back as the same double, independent of the locale.
std::string NumberText(double value);

// Lower-cased extension including the dot (".vrl"), or empty.
std::string FileExtension(std::string_view path);

// How an input is read: a .dxf input by the default import, or by the full one.
struct CInputOptions {
    bool dxfFull = false;
};

// Outcome of reading an input model.
struct CInputInfo {
    bool modelFile = true;       // a .vrl model file, not an imported drawing
    bool versionMatched = true;  // model files only
    bool dxfFull = false;        // a drawing read by the full import, which gives the two below
    int dxfUnits = -1;           // its $INSUNITS, -1 when it has none
    double dxfScale = 1.0;       // millimetres per drawing unit
};

// The option choosing the full DXF import, for convert and info.
inline constexpr const char* kDxfFullOption = "--dxf-full";

// What the error lines suggest when a file's kind is not supported.
inline constexpr const char* kReadableKinds = "cannot read files of this kind (use .vrl or .dxf)";
inline constexpr const char* kWritableKinds = "cannot write files of this kind (use .vrl, .dxf, .pov or .png)";

// Reads a model of any supported input kind into `doc` (tables as the viewer would leave
// them in a freshly started program). Prints its own error line; returns false on failure.
bool ReadInputModel(const std::string& path, CMyvorla_ltDoc& doc, CInputInfo& info,
                    const CInputOptions& options = {});

// A usage error text when the options do not fit the input's kind, else "".
std::string CheckInputOptions(const std::string& path, const CInputOptions& options);

// Writes `doc` to `path` in the format its extension names, replacing `path` only when the
// whole file was written (.pov and .png with the POV-Ray options). Prints its own error line;
// returns false on failure.
bool WriteOutputModel(const std::string& path, const CMyvorla_ltDoc& doc, const CPovCliOptions& pov = {});

bool IsReadableExtension(const std::string& ext);
bool IsWritableExtension(const std::string& ext);
