// Asking the kernel for the pages of a buffer about to be written, in one call instead of one
// page fault per page.
#pragma once

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

// Makes the kernel provide the whole pages between `begin` and `end` for writing now, where
// it can; otherwise they come one page fault at a time as they are written.
inline void PrefaultForWriting(void* begin, void* end)
{
#ifdef MADV_POPULATE_WRITE
    const std::uintptr_t page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) & ~(page - 1);
    const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(end) & ~(page - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#else
    (void)begin, (void)end;
#endif
}
