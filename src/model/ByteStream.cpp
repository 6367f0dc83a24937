// Memory and file descriptor sources and sinks, and the block writer.
#include "model/ByteStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

std::size_t CMemorySource::Read(void* dst, std::size_t n)
{
    const std::size_t count = std::min(n, m_size - m_pos);
    std::memcpy(dst, m_data + m_pos, count);
    m_pos += count;
    return count;
}

CFdSource::CFdSource(int fd, CReadWatch* watch) : m_fd(fd), m_watch(watch)
{
    const int flags = ::fcntl(fd, F_GETFL);
    m_nonBlocking = flags >= 0 && (flags & O_NONBLOCK) != 0;
}

bool CFdSource::WaitReadable()
{
    pollfd wait{m_fd, POLLIN, 0};
    for (;;) {
        if (m_watch && m_watch->cancelled.load()) return false;
        // Without a watch nobody can ask to stop: wait as a blocking read would.
        const int ready = ::poll(&wait, 1, m_watch ? 100 : -1);
        if (ready > 0 || (ready < 0 && errno != EINTR)) return true;
    }
}

std::size_t CFdSource::Read(void* dst, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        if (m_watch && m_watch->cancelled.load()) {
            m_error = kReadCancelled;
            break;
        }
        if (m_nonBlocking && !WaitReadable()) continue;
        const ssize_t got = ::read(m_fd, static_cast<char*>(dst) + done, n - done);
        if (got > 0) {
            done += static_cast<std::size_t>(got);
            if (m_watch) m_watch->bytesRead.fetch_add(static_cast<std::uint64_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR && errno != EAGAIN) {
            m_systemError = errno;
            m_error = std::strerror(errno);
            break;
        }
    }
    return done;
}

bool CStringSink::Write(const void* src, std::size_t n)
{
    m_bytes.append(static_cast<const char*>(src), n);
    return true;
}

bool CFdSink::Write(const void* src, std::size_t n)
{
    if (Failed()) return false;
    const char* p = static_cast<const char*>(src);
    while (n > 0) {
        const ssize_t put = ::write(m_fd, p, n);
        if (put < 0) {
            if (errno == EINTR) continue;
            m_problem = CFileProblem::System(errno);
            m_error = m_problem.systemText;
            return false;
        }
        p += put;
        n -= static_cast<std::size_t>(put);
        m_written += static_cast<std::uint64_t>(put);
    }
    constexpr std::uint64_t kWritebackChunk = 16 << 20;
    if (m_writeback && m_written - m_flushedUpTo >= kWritebackChunk) {
        ::sync_file_range(m_fd, static_cast<off64_t>(m_flushedUpTo), static_cast<off64_t>(m_written - m_flushedUpTo),
                          SYNC_FILE_RANGE_WRITE);
        m_flushedUpTo = m_written;
    }
    return true;
}

CBufferedWriter::CBufferedWriter(CByteSink& sink, std::size_t blockSize)
    : m_sink(sink), m_buffer{std::make_unique_for_overwrite<uint8_t[]>(blockSize), blockSize}
{
}

bool CBufferedWriter::Flush()
{
    if (m_used > 0) {
        m_sink.Write(m_buffer.data(), m_used);
        m_used = 0;
    }
    return !m_sink.Failed();
}

void CBufferedWriter::PutSlow(const void* src, std::size_t n)
{
    Flush();
    if (n >= m_buffer.size()) {
        m_sink.Write(src, n);
        return;
    }
    std::memcpy(m_buffer.data(), src, n);
    m_used = n;
}
