#include "web/ServerThreads.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace relaydeck::web {

void yieldToController() noexcept {
#ifdef _WIN32
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#else
    // On Linux both calls act on the calling thread alone. A batch thread does not preempt
    // the controller's thread when it wakes; nice 10 weighs a tenth of the controller's.
    sched_param param{};
    param.sched_priority = 0;
    sched_setscheduler(0, SCHED_BATCH, &param);
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
#endif
}

void nameThisThread([[maybe_unused]] const char* name) noexcept {
#ifndef _WIN32
    pthread_setname_np(pthread_self(), name);
#endif
}

}  // namespace relaydeck::web
