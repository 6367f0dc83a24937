// Opening files for the readers and replacing files safely for the writers (POSIX).
#pragma once

#include "model/ByteStream.h"

#include <cstdint>
#include <functional>
#include <string>

// A file opened for reading; closed on destruction.
class CInputFile {
public:
    CInputFile() = default;
    ~CInputFile();
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;

    // Opens a regular file or a pipe, never waiting: a named pipe opens at once, and its reader
    // waits for the writer. Folders and devices (/dev/zero, a terminal) are refused.
    // On failure returns false and sets `error` (e.g. "No such file or directory").
    bool Open(const std::string& path, std::string& error);
    bool Open(const std::string& path, CFileProblem& problem);
    int Fd() const { return m_fd; }
    // The size of a regular file; 0 for a pipe, whose end is known only when it comes.
    std::uint64_t Size() const { return m_size; }
    bool IsRegular() const { return m_regular; }

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
    bool m_regular = false;
};

// Writes a file through `write` into a temporary file in the target's folder, flushes it to
// the disk and renames it over the target, so the target is either the old file or the
// complete new one. A symbolic link is followed and the file it points to is replaced.
// On failure nothing is left behind, the old file is untouched, and `error` says why. After a
// save, temporary files of earlier saves of the same file that were killed half-way and have
// not changed for a day are removed.
bool WriteFileAtomically(const std::string& path, const std::function<bool(CByteSink&)>& write, std::string& error);
bool WriteFileAtomically(const std::string& path, const std::function<bool(CByteSink&)>& write, CFileProblem& problem);
