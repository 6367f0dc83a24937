// POSIX file access for the readers and writers.
#include "model/FileAccess.h"

#include "model/WriteBehindSink.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CInputFile::~CInputFile()
{
    if (m_fd >= 0) ::close(m_fd);
}

bool CInputFile::Open(const std::string& path, std::string& error)
{
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        error = "it is a folder";
        return false;
    }
    // A device such as /dev/zero or a terminal never ends, or ends only when a person says so;
    // a pipe is read to its end (memory grows only with the faces it holds).
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISSOCK(st.st_mode)) {
        error = "it is a device, not a file";
        return false;
    }
    m_size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    return true;
}

namespace {

// The file a path finally names: symbolic links resolved, the file itself need not exist.
std::string ResolveTarget(const std::string& path)
{
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        char link[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), link, sizeof link - 1);
        if (n < 0) break;
        link[n] = '\0';
        if (link[0] == '/') {
            target = link;
        } else {
            const auto slash = target.rfind('/');
            target = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + link;
        }
    }
    return target;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<bool(CByteSink&)>& write, std::string& error)
{
    const std::string target = ResolveTarget(path);
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + "." + base +
                       ".XXXXXX";

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        error = "it is a folder";
        return false;
    }
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        error = "cannot create a file in " + folder + ": " + std::strerror(errno);
        return false;
    }
    auto fail = [&](std::string why) {
        ::close(fd);
        ::unlink(temp.c_str());
        error = std::move(why);
        return false;
    };
    ::fchmod(fd, exists ? (old.st_mode & 07777) : NewFileMode());

    CFdSink file(fd);
    file.StartWritebackEarly();
    bool written = false;
    std::string failure;
    {
        // A big file is written behind the writer, by a thread of the sink's own; it has
        // stopped when this block ends, before the file is closed.
        CWriteBehindSink sink(file);
        try {
            written = write(sink);
            if (!sink.Finish()) failure = "cannot write: " + sink.Error();
        } catch (const std::bad_alloc&) {
            failure = "not enough memory to write the file";
        }
    }
    if (!failure.empty()) return fail(failure);
    if (!written) return fail("cannot write the data");
    if (::fsync(fd) != 0) return fail(std::string("cannot write: ") + std::strerror(errno));
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        error = std::string("cannot write: ") + std::strerror(err);
        return false;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        error = std::string("cannot replace the file: ") + std::strerror(err);
        return false;
    }
    return true;
}
