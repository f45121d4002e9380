// The toolchain's thread_local storage is emulated and released by a
// thread-end destructor of its own, which may run before the destructors of
// the thread_local objects that live in it: those then read freed memory
// (8 threads ending together crashed in the first one). The calls here are
// kept in the same kind of thread-end slot instead, and each receives what it
// destroys as its argument, so none of them reads the thread's storage.
// Storage touched again on the way is made anew and released on a later
// round of the same destructor loop. Threads the host made itself end through
// the same loop, at their detach notification.
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

struct Key {
    pthread_key_t key{};
    bool made = false;
    Key() { made = pthread_key_create(&key, &RunCalls) == 0; }
};

Key& ExitKey() {
    // Never deleted: a thread may end after the static destructors ran.
    static Key* key = new Key;
    return *key;
}

}  // namespace

bool AtThreadExit(void (*fn)(void*), void* arg) try {
    Key& k = ExitKey();
    if (!k.made)
        return false;
    auto* calls = static_cast<Calls*>(pthread_getspecific(k.key));
    if (!calls) {
        calls = new Calls;
        if (pthread_setspecific(k.key, calls) != 0) {
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
