#pragma once

#include <stdio.h>
#include <time.h>

// The processor time of the calling thread, in seconds.
inline double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The resident memory of this process now, in kilobytes (0 where /proc is not there).
inline long long ResidentKilobytes()
{
    FILE *status = fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    long long kilobytes = 0;
    while (fgets(line, sizeof line, status)) {
        if (sscanf(line, "VmRSS: %lld", &kilobytes) == 1)
            break;
    }
    fclose(status);
    return kilobytes;
}
