// Reading a file for a command without freezing the window: a big file, or a pipe whose end
// nobody knows, is read on a thread of its own while the window repaints and its menus open,
// with the progress and a Cancel button in the status bar.
#pragma once

#include "model/ByteStream.h"
#include "model/FileAccess.h"

#include <QString>

#include <cstdint>
#include <functional>

class CDocumentHost;

class CFileReadTask {
public:
    // Regular files below this size are read at once: the reading takes less than the blink of
    // a progress bar.
    static constexpr std::uint64_t kInBackgroundFrom = 2u << 20;

    // Runs `read` on the opened `file` and returns when it has ended: false when the user
    // stopped it (what `read` made is then to be thrown away). `read` runs on another thread
    // for big files and pipes, so it must touch neither the document nor the tables; it gets
    // a source that counts its bytes and stops when asked to. While it runs, the host says it is
    // reading, which holds back every command that would change or replace the model.
    static bool Run(CDocumentHost& host, const QString& path, CInputFile& file,
                    const std::function<void(CByteSource&)>& read);
};
