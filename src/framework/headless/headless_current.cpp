#include <mutex>

#include "../script/environment.h"
#include "headless_backend.h"

namespace fw {
namespace {

// Every thread has its own windows and modal runs, as on Win32: a thread's
// backend is its own, so two hosts' threads never share a window table or a
// modal stack, and no lock is needed while a modal run waits for its user.
struct ThreadBackend {
    headless::HeadlessBackend* backend = nullptr;
    ~ThreadBackend();
};

// Trivially destructible, so still readable after the thread's objects are
// gone (a host calling in from a static destructor after main returned).
thread_local bool t_ended = false;
thread_local ThreadBackend t_backend;

// Backends made after their thread's objects were destroyed live as long as
// the process; kept reachable here so that they are not leaks.
std::mutex g_lateGuard;
std::vector<headless::HeadlessBackend*>* g_late = nullptr;

headless::HeadlessBackend* MakeBackend() {
    auto* b = new headless::HeadlessBackend;
    InstallDriversFromEnvironment(*b);
    return b;
}

ThreadBackend::~ThreadBackend() {
    t_ended = true;
    delete backend;
    backend = nullptr;
}

}  // namespace

Backend& CurrentBackend() {
    if (t_ended) {
        static thread_local headless::HeadlessBackend* late = nullptr;
        if (!late) {
            late = MakeBackend();
            std::lock_guard<std::mutex> lock(g_lateGuard);
            if (!g_late)
                g_late = new std::vector<headless::HeadlessBackend*>;
            g_late->push_back(late);
        }
        return *late;
    }
    ThreadBackend& mine = t_backend;
    if (!mine.backend)
        mine.backend = MakeBackend();
    return *mine.backend;
}

}  // namespace fw
