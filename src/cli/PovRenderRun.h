// Rendering scenes with POV-Ray for vorla-cli: a temporary folder per run, POV-Ray started
// without a shell and without a display, and the finished picture put in place whole.
#pragma once

#include "model/Shape.h"

#include <string>
#include <vector>

// A folder under TMPDIR, removed with its contents when this goes out of scope.
class CTempFolder {
public:
    CTempFolder() = default;
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    bool Create(std::string& error);
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// The POV-Ray executable as the viewer finds it, or an error text when there is none.
bool FindPovRay(std::string& engine, std::string& error);

// Writes the render scene of `shapes` lit by `sun` into `folder` (as its TEMP.pov). Returns
// false with `error` set when it cannot be written.
bool WriteRenderScene(const std::string& folder, const CShapeList& shapes, const double sun[3], std::string& error);

// Runs POV-Ray with `options` (the +I of the scene first) in `folder` and moves the picture it wrote there, `output`, to
// `picture` (replaced only when the render succeeded). Touches no global state, so runs may go
// side by side on threads of their own. Returns an empty string on success, else what went
// wrong with POV-Ray's own message.
std::string RunPovRay(const std::string& engine, const std::string& folder, const std::vector<std::string>& options,
                      const std::string& output, const std::string& picture);

// The picture of the TEMP.pov in `folder` at width × height, as RunPovRay.
std::string RenderScene(const std::string& engine, const std::string& folder, int width, int height,
                        const std::string& picture);
