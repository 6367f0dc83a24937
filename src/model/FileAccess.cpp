// POSIX file access for the readers and writers.
#include "model/FileAccess.h"

#include "model/WriteBehindSink.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <ctime>
#include <unistd.h>

CInputFile::~CInputFile()
{
    if (m_fd >= 0) ::close(m_fd);
}

bool CInputFile::Open(const std::string& path, std::string& error)
{
    CFileProblem problem;
    if (Open(path, problem)) return true;
    error = problem.English();
    return false;
}

bool CInputFile::Open(const std::string& path, CFileProblem& problem)
{
    // Without blocking: opening a named pipe would otherwise wait here for its writer, where
    // nobody can stop it. The reading waits instead (CFdSource).
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) {
        problem = CFileProblem::System(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        problem = CFileProblem::System(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        problem = CFileProblem::Of(EFileProblem::kFolder);
        return false;
    }
    // A device such as /dev/zero or a terminal never ends, or ends only when a person says so;
    // a pipe is read to its end (memory grows only with the faces it holds).
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISSOCK(st.st_mode)) {
        problem = CFileProblem::Of(EFileProblem::kDevice);
        return false;
    }
    m_regular = S_ISREG(st.st_mode);
    m_size = m_regular ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (m_regular) ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
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

// A save that was killed between creating its temporary file and renaming it leaves the file
// behind, hidden: "." + name + "." + six characters of mkstemp's alphabet. The saves of the
// same model remove those that have not been touched for a day, so no save still running
// (of this or another process) loses its file.
void RemoveStaleTemporaries(const std::string& folder, const std::string& base)
{
    constexpr time_t kStaleAfter = 24 * 60 * 60;
    const std::string prefix = "." + base + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        if (!std::all_of(name.begin() + std::ptrdiff_t(prefix.size()), name.end(),
                         [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
        if (st.st_uid != ::geteuid() || now - st.st_mtime < kStaleAfter) continue;
        ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
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
    CFileProblem problem;
    if (WriteFileAtomically(path, write, problem)) return true;
    error = problem.English();
    return false;
}

bool WriteFileAtomically(const std::string& path, const std::function<bool(CByteSink&)>& write, CFileProblem& problem)
{
    const std::string target = ResolveTarget(path);
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + "." + base +
                       ".XXXXXX";
    const auto failedStep = [&](EFileStep step, CFileProblem why) {
        problem = std::move(why);
        problem.step = step;
        return false;
    };

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) return failedStep(EFileStep::kNone, CFileProblem::Of(EFileProblem::kFolder));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        failedStep(EFileStep::kCreate, CFileProblem::System(errno));
        problem.name = folder;
        return false;
    }
    auto fail = [&](EFileStep step, CFileProblem why) {
        ::close(fd);
        ::unlink(temp.c_str());
        return failedStep(step, std::move(why));
    };
    ::fchmod(fd, exists ? (old.st_mode & 07777) : NewFileMode());

    CFdSink file(fd);
    file.StartWritebackEarly();
    bool written = false;
    CFileProblem failure;
    EFileStep failureStep = EFileStep::kNone;
    {
        // A big file is written behind the writer, by a thread of the sink's own; it has
        // stopped when this block ends, before the file is closed.
        CWriteBehindSink sink(file);
        try {
            written = write(sink);
            if (!sink.Finish()) failure = sink.Problem(), failureStep = EFileStep::kWrite;
        } catch (const std::bad_alloc&) {
            failure = CFileProblem::Of(EFileProblem::kNoMemoryToWrite);
        }
    }
    if (failure.Failed()) return fail(failureStep, failure);
    if (!written) return fail(EFileStep::kNone, CFileProblem::Of(EFileProblem::kWriteIncomplete));
    if (::fsync(fd) != 0) return fail(EFileStep::kWrite, CFileProblem::System(errno));
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return failedStep(EFileStep::kWrite, CFileProblem::System(err));
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return failedStep(EFileStep::kReplace, CFileProblem::System(err));
    }
    RemoveStaleTemporaries(folder, base);
    return true;
}
