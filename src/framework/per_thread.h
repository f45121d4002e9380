// One object of each thread's own, made on its first use and destroyed when
// the thread ends: every thread has its own windows and modal runs, so what
// serves them is never shared with another thread and needs no lock.
#pragma once

#include "thread_exit.h"

namespace fw {

template <typename T>
class PerThread {
  public:
    // The calling thread's object, made by make() on the first call. A thread
    // that asks again after its object was destroyed at its end (a host
    // calling from a static destructor after main returned) gets one that
    // lives as long as the process.
    static T& Get(T* (*make)()) {
        if (T* mine = current_)
            return *mine;
        T* made = make();
        try {
            if (ended_ || !AtThreadExit(&Ended, made))
                KeepForProcess(made);
        } catch (...) {
            delete made;
            throw;
        }
        current_ = made;
        return *made;
    }

  private:
    // Given the object itself, so that nothing is read from the thread's
    // storage, which the platform may already have released by then.
    static void Ended(void* object) {
        ended_ = true;
        current_ = nullptr;
        delete static_cast<T*>(object);
    }

    // Trivially destructible: still readable after the thread's objects are gone.
    inline static thread_local T* current_ = nullptr;
    inline static thread_local bool ended_ = false;
};

}  // namespace fw
