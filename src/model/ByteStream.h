// Byte sources and sinks that the readers and writers work on: memory buffers and POSIX files.
// Readers and writers never open files themselves; the caller picks the source or sink.
#pragma once

#include "model/FileProblem.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CByteSource {
public:
    virtual ~CByteSource() = default;
    // Reads up to n bytes; returns fewer only at the end of the data or on an error.
    virtual std::size_t Read(void* dst, std::size_t n) = 0;
    // Non-empty after a read error (not at a plain end of data).
    virtual const std::string& Error() const { return m_error; }
    // The errno of that error, 0 when it has none.
    int SystemError() const { return m_systemError; }

protected:
    std::string m_error;
    int m_systemError = 0;
};

class CMemorySource : public CByteSource {
public:
    CMemorySource(const void* data, std::size_t size)
        : m_data(static_cast<const uint8_t*>(data)), m_size(size) {}
    explicit CMemorySource(const std::string& bytes) : CMemorySource(bytes.data(), bytes.size()) {}
    // The source only points at the bytes: a temporary string would be gone before the reading.
    explicit CMemorySource(std::string&&) = delete;
    std::size_t Read(void* dst, std::size_t n) override;

private:
    const uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// What a reader on another thread shares with the thread that waits for it: a request to
// stop, and the bytes read so far.
struct CReadWatch {
    std::atomic<bool> cancelled{false};
    std::atomic<std::uint64_t> bytesRead{0};
};

// The error text of a read stopped through its CReadWatch.
inline constexpr const char* kReadCancelled = "cancelled";

// Reads an open file descriptor it does not own. A descriptor opened without blocking (a named
// pipe) is waited on until data or the writer's end arrives, so a pipe whose writer has not
// come yet reads as a wait, not as an empty file. With a watch, a request to stop ends the
// reading within a tenth of a second (Error() is then kReadCancelled), and the bytes are counted.
class CFdSource : public CByteSource {
public:
    explicit CFdSource(int fd, CReadWatch* watch = nullptr);
    std::size_t Read(void* dst, std::size_t n) override;

private:
    // Waits until the descriptor can be read; false when the watch asks to stop.
    bool WaitReadable();
    int m_fd;
    CReadWatch* m_watch;
    bool m_nonBlocking;
};

class CByteSink {
public:
    virtual ~CByteSink() = default;
    // Writes all n bytes or fails; after a failure Error() says why and later writes do nothing.
    virtual bool Write(const void* src, std::size_t n) = 0;
    bool Failed() const { return !m_error.empty(); }
    const std::string& Error() const { return m_error; }
    // For a writer that refuses its data: records why, and Failed() becomes true.
    void Refuse(CFileProblem why)
    {
        if (!m_error.empty()) return;
        m_error = why.English();
        m_problem = std::move(why);
    }
    const CFileProblem& Problem() const { return m_problem; }

protected:
    std::string m_error;
    CFileProblem m_problem;
};

class CStringSink : public CByteSink {
public:
    bool Write(const void* src, std::size_t n) override;
    std::string m_bytes;
};

// Writes to an open file descriptor it does not own.
class CFdSink : public CByteSink {
public:
    explicit CFdSink(int fd) : m_fd(fd) {}
    bool Write(const void* src, std::size_t n) override;
    // Start writing each finished 16 MiB to the disk at once, so a final fsync has little
    // left to wait for.
    void StartWritebackEarly() { m_writeback = true; }

private:
    int m_fd;
    bool m_writeback = false;
    std::uint64_t m_written = 0;
    std::uint64_t m_flushedUpTo = 0;
};

// Collects small writes in a large block and hands whole blocks to a sink.
class CBufferedWriter {
public:
    explicit CBufferedWriter(CByteSink& sink, std::size_t blockSize = 1 << 20);
    ~CBufferedWriter() { Flush(); }
    CBufferedWriter(const CBufferedWriter&) = delete;
    CBufferedWriter& operator=(const CBufferedWriter&) = delete;

    void Put(const void* src, std::size_t n)
    {
        if (m_used + n > m_buffer.size()) {
            PutSlow(src, n);
            return;
        }
        std::copy_n(static_cast<const uint8_t*>(src), n, m_buffer.data() + m_used);
        m_used += n;
    }
    void Put(std::string_view text) { Put(text.data(), text.size()); }
    // Space for at least n bytes, to be committed with Commit; n must not exceed the block size.
    char* Reserve(std::size_t n)
    {
        if (m_used + n > m_buffer.size()) Flush();
        return reinterpret_cast<char*>(m_buffer.data() + m_used);
    }
    void Commit(std::size_t n) { m_used += n; }
    bool Flush();
    bool Failed() const { return m_sink.Failed(); }

private:
    void PutSlow(const void* src, std::size_t n);

    // The block is left uninitialised, so a small file written through it touches only the
    // pages it fills.
    struct CBlock {
        std::unique_ptr<uint8_t[]> bytes;
        std::size_t count;
        uint8_t* data() { return bytes.get(); }
        std::size_t size() const { return count; }
    };

    CByteSink& m_sink;
    CBlock m_buffer;
    std::size_t m_used = 0;
};
