// Cores from the affinity mask, runnable tasks from /proc/loadavg.
#include "model/CoreLoad.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

CCoreLoad ReadCoreLoad()
{
    CCoreLoad load;
    load.cores = std::max(1u, std::thread::hardware_concurrency());
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) load.cores = std::max(1u, unsigned(CPU_COUNT(&allowed)));
    // The fourth field of /proc/loadavg, "runnable/total", counts the tasks running or waiting
    // for a core at this moment, the caller among them.
    char text[128] = {};
    const int fd = ::open("/proc/loadavg", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return load;
    const ssize_t got = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (got <= 0) return load;
    const char* slash = std::strchr(text, '/');
    if (!slash) return load;
    const char* start = slash;
    while (start > text && start[-1] >= '0' && start[-1] <= '9') --start;
    unsigned runnable = 0;
    if (std::from_chars(start, slash, runnable).ec == std::errc()) load.runnable = runnable;
    return load;
}

unsigned CoresForWork()
{
    const CCoreLoad load = ReadCoreLoad();
    const unsigned others = load.runnable > 0 ? load.runnable - 1 : 0;
    return std::clamp(load.cores > others ? load.cores - others : 1u, 1u, load.cores);
}
