#include "system/ProcessorCores.h"

#include <sched.h>

#include <algorithm>
#include <thread>

std::size_t ProcessorCores() {
    cpu_set_t cpus;
    if (sched_getaffinity(0, sizeof cpus, &cpus) == 0 && CPU_COUNT(&cpus) > 0) {
        return static_cast<std::size_t>(CPU_COUNT(&cpus));
    }
    return std::max(1u, std::thread::hardware_concurrency());
}
