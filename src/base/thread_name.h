// The name a thread of the program shows in ps, top, perf and debuggers.
#pragma once

#if defined(__linux__)
#include <pthread.h>
#endif

namespace geoplait {

// Names the calling thread (at most 15 characters); nothing where the
// system has no such name.
inline void NameThisThread(const char* name) {
#if defined(__linux__)
    pthread_setname_np(pthread_self(), name);
#else
    (void)name;
#endif
}

}  // namespace geoplait
