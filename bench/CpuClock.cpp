#include "CpuClock.h"

#include <cstdlib>
#include <ctime>

double ProcessCpuSeconds() {
    timespec ts{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts) != 0)
        return 0;
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double LoadAverage1() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}
