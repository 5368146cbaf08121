#include "hardware/Priority.h"

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#endif

namespace tavrin {

void ChangePriority(bool raise) {
#if defined(__linux__)
    // Real-time scheduling is throttled after ~0.95 s of spinning, so callers raise it only around
    // one sector or one command sequence, never a whole read.
    if (raise) {
        sched_param sp{};
        sp.sched_priority = 10;
        if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &sp) == 0) return;
        (void)setpriority(PRIO_PROCESS, 0, -10);  // this thread only on Linux
    } else {
        sched_param sp{};
        pthread_setschedparam(pthread_self(), SCHED_OTHER, &sp);
        (void)setpriority(PRIO_PROCESS, 0, 0);
    }
#else
    (void)raise;
#endif
}

}  // namespace tavrin
