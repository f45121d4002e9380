#include "allocation_shim.h"

#include <cstdlib>
#include <new>

namespace allocshim {
namespace {

thread_local bool t_armed = false;
thread_local Mode t_mode = Mode::Count;
thread_local uint64_t t_k = 0;
thread_local uint64_t t_seen = 0;
thread_local uint64_t t_refused = 0;

// True when this allocation is to fail.
bool Refuse() {
    if (!t_armed)
        return false;
    uint64_t n = ++t_seen;
    bool refuse = (t_mode == Mode::Once && n == t_k) || (t_mode == Mode::From && n >= t_k);
    if (refuse)
        ++t_refused;
    return refuse;
}

void* Allocate(size_t size, size_t alignment) {
    if (Refuse())
        return nullptr;
    if (size == 0)
        size = 1;
    if (alignment <= alignof(std::max_align_t))
        return std::malloc(size);
#ifdef _WIN32
    return _aligned_malloc(size, alignment);
#else
    void* p = nullptr;
    return posix_memalign(&p, alignment, size) == 0 ? p : nullptr;
#endif
}

// Blocks of a wider alignment come from their own allocator on Windows and go
// back to it; posix_memalign's blocks go back to free.
void FreeAligned(void* p) {
#ifdef _WIN32
    _aligned_free(p);
#else
    std::free(p);
#endif
}

void* AllocateOrThrow(size_t size, size_t alignment) {
    void* p = Allocate(size, alignment);
    if (!p)
        throw std::bad_alloc();
    return p;
}

}  // namespace

void Arm(Mode mode, uint64_t k) {
    t_mode = mode;
    t_k = k;
    t_seen = 0;
    t_refused = 0;
    t_armed = true;
}

uint64_t Disarm() {
    t_armed = false;
    return t_seen;
}

uint64_t Refused() {
    return t_refused;
}

void* ZeroAllocate(size_t bytes) {
    if (Refuse())
        return nullptr;
    return std::calloc(bytes ? bytes : 1, 1);
}

}  // namespace allocshim

using allocshim::Allocate;
using allocshim::AllocateOrThrow;
using allocshim::FreeAligned;
constexpr size_t kPlain = alignof(std::max_align_t);

void* operator new(size_t size) { return AllocateOrThrow(size, kPlain); }
void* operator new[](size_t size) { return AllocateOrThrow(size, kPlain); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size, kPlain); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size, kPlain); }
void* operator new(size_t size, std::align_val_t a) { return AllocateOrThrow(size, static_cast<size_t>(a)); }
void* operator new[](size_t size, std::align_val_t a) { return AllocateOrThrow(size, static_cast<size_t>(a)); }
void* operator new(size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<size_t>(a));
}
void* operator new[](size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<size_t>(a));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete[](void* p, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete(void* p, size_t, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete[](void* p, size_t, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { FreeAligned(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { FreeAligned(p); }
