#include "handle_registry.h"

#include <mutex>
#include <set>

namespace zevdt {
namespace {

// Objects are used by one thread at a time, but two threads may each hold
// their own: the set they share is guarded for its few operations.
struct Registry {
    std::mutex mutex;
    std::set<void*> live;
};

Registry& TheRegistry() {
    // Never destroyed: a host may call ZevDTExit from its own static destructors.
    static auto* registry = new Registry;
    return *registry;
}

}  // namespace

void RegisterHandle(CDrillThrough* object) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.live.insert(object);
}

CDrillThrough* UnregisterHandle(void* handle) {
    if (!handle)
        return nullptr;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.live.erase(handle) ? static_cast<CDrillThrough*>(handle) : nullptr;
}

CDrillThrough* LookUpHandle(void* handle) {
    if (!handle)
        return nullptr;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.live.count(handle) ? static_cast<CDrillThrough*>(handle) : nullptr;
}

}  // namespace zevdt
