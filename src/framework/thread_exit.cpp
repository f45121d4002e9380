#include "thread_exit.h"

#include <mutex>
#include <vector>

namespace fw {

void KeepForProcess(const void* object) {
    // Never destroyed: the objects kept here outlive every static destructor.
    static auto* guard = new std::mutex;
    static auto* kept = new std::vector<const void*>;
    std::lock_guard<std::mutex> lock(*guard);
    kept->push_back(object);
}

}  // namespace fw
