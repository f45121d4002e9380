// The C library destroys a thread's thread_local objects while its storage is
// still there, so an object of the thread's own runs its calls.
#include <new>
#include <utility>
#include <vector>

#include "../thread_exit.h"

namespace fw {
namespace {

struct ExitCalls {
    std::vector<std::pair<void (*)(void*), void*>> calls;
    ~ExitCalls();
};
// Trivially destructible, so still readable after the list is destroyed.
thread_local bool t_done = false;
thread_local ExitCalls t_calls;

ExitCalls::~ExitCalls() {
    t_done = true;
    while (!calls.empty()) {
        auto call = calls.back();
        calls.pop_back();
        call.first(call.second);
    }
}

}  // namespace

bool AtThreadExit(void (*fn)(void*), void* arg) try {
    if (t_done)
        return false;
    t_calls.calls.emplace_back(fn, arg);
    return true;
} catch (const std::bad_alloc&) {
    return false;
}

}  // namespace fw
