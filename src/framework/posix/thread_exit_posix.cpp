// The calls are kept in a thread-specific slot of one key made once, not in a
// thread_local object: registering such an object's destructor allocates
// inside the C library on a thread's first call, and the C library ends the
// process when that allocation fails. A slot that cannot be set reports it,
// and the caller keeps its object for the process instead. Each call receives
// what it destroys as its argument, so none of them reads the thread's
// storage. The main thread's calls do not run at exit: its objects stay
// reachable until the process is gone.
#include <pthread.h>

#include <new>
#include <utility>
#include <vector>

#include "../thread_exit.h"

namespace fw {
namespace {

using Calls = std::vector<std::pair<void (*)(void*), void*>>;

void RunCalls(void* list) {
    auto* calls = static_cast<Calls*>(list);
    while (!calls->empty()) {
        auto call = calls->back();
        calls->pop_back();
        call.first(call.second);
    }
    delete calls;
}

pthread_key_t g_key;
bool g_keyMade = false;

void MakeKey() {
    g_keyMade = pthread_key_create(&g_key, &RunCalls) == 0;
}

}  // namespace

bool AtThreadExit(void (*fn)(void*), void* arg) try {
    static pthread_once_t once = PTHREAD_ONCE_INIT;
    if (pthread_once(&once, &MakeKey) != 0 || !g_keyMade)
        return false;
    auto* calls = static_cast<Calls*>(pthread_getspecific(g_key));
    if (!calls) {
        calls = new Calls;
        if (pthread_setspecific(g_key, calls) != 0) {
            delete calls;
            return false;
        }
    }
    calls->emplace_back(fn, arg);
    return true;
} catch (const std::bad_alloc&) {
    return false;
}

}  // namespace fw
