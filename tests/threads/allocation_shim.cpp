#include "allocation_shim.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#ifndef _WIN32
#include <dlfcn.h>

#include <cerrno>
#include <cstring>
#endif

// The C functions below run before the sanitizer has mapped its shadow memory
// (it allocates while it starts): what they touch is not instrumented.
#if defined(__SANITIZE_ADDRESS__)
#define SHIM_RAW __attribute__((no_sanitize_address))
#else
#define SHIM_RAW
#endif

namespace allocshim {
namespace {

thread_local bool t_armed = false;
thread_local Mode t_mode = Mode::Count;
thread_local uint64_t t_k = 0;
thread_local uint64_t t_seen = 0;
thread_local uint64_t t_refused = 0;

// True when this allocation is to fail.
SHIM_RAW bool Refuse() {
    if (!t_armed)
        return false;
    uint64_t n = ++t_seen;
    bool refuse = (t_mode == Mode::Once && n == t_k) || (t_mode == Mode::From && n >= t_k);
    if (refuse)
        ++t_refused;
    return refuse;
}

#ifndef _WIN32
// The C library's allocator (or the sanitizer's, which stands in front of it),
// found behind this program's own malloc, calloc, realloc and free below. The
// C library, SQLite and the C++ runtime allocate through these too: a failure
// there must end in a code as well, never in an abort.
struct Real {
    void* (*malloc)(size_t);
    void* (*calloc)(size_t, size_t);
    void* (*realloc)(void*, size_t);
    void (*free)(void*);
};

// dlsym may allocate while the real functions are being looked up: those few
// blocks come from here and are never freed.
alignas(std::max_align_t) char g_early[4096];
size_t g_earlyUsed = 0;
bool g_resolving = false;
bool g_ready = false;
Real g_real;

SHIM_RAW bool Early(const void* p) {
    return p >= static_cast<const void*>(g_early) && p < static_cast<const void*>(g_early + sizeof(g_early));
}

SHIM_RAW void* EarlyBlock(size_t size) {
    size = (size + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
    size_t at = __atomic_fetch_add(&g_earlyUsed, size, __ATOMIC_RELAXED);
    return at + size <= sizeof(g_early) ? g_early + at : nullptr;
}

SHIM_RAW const Real* TheReal() {
    if (__atomic_load_n(&g_ready, __ATOMIC_ACQUIRE))
        return &g_real;
    if (__atomic_exchange_n(&g_resolving, true, __ATOMIC_ACQ_REL))
        return nullptr;
    g_real.malloc = reinterpret_cast<void* (*)(size_t)>(dlsym(RTLD_NEXT, "malloc"));
    g_real.calloc = reinterpret_cast<void* (*)(size_t, size_t)>(dlsym(RTLD_NEXT, "calloc"));
    g_real.realloc = reinterpret_cast<void* (*)(void*, size_t)>(dlsym(RTLD_NEXT, "realloc"));
    g_real.free = reinterpret_cast<void (*)(void*)>(dlsym(RTLD_NEXT, "free"));
    __atomic_store_n(&g_ready, true, __ATOMIC_RELEASE);
    return &g_real;
}

SHIM_RAW void* PlainAllocate(size_t size) {
    const Real* real = TheReal();
    return real ? real->malloc(size) : EarlyBlock(size);
}
SHIM_RAW void* PlainZeroAllocate(size_t count, size_t size) {
    const Real* real = TheReal();
    return real ? real->calloc(count, size) : EarlyBlock(count * size);  // static storage: zero already
}
SHIM_RAW void PlainFree(void* p) {
    if (p && !Early(p))
        TheReal()->free(p);
}
#else
void* PlainAllocate(size_t size) {
    return std::malloc(size);
}
void* PlainZeroAllocate(size_t count, size_t size) {
    return std::calloc(count, size);
}
void PlainFree(void* p) {
    std::free(p);
}
#endif

void* Allocate(size_t size, size_t alignment) {
    if (Refuse())
        return nullptr;
    if (size == 0)
        size = 1;
    if (alignment <= alignof(std::max_align_t))
        return PlainAllocate(size);
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
    PlainFree(p);
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
    return PlainZeroAllocate(bytes ? bytes : 1, 1);
}

}  // namespace allocshim

#ifndef _WIN32
// What the C library's callers get: the same count and the same refusals.
extern "C" {
SHIM_RAW void* malloc(size_t size) {
    if (allocshim::Refuse()) {
        errno = ENOMEM;
        return nullptr;
    }
    return allocshim::PlainAllocate(size);
}
SHIM_RAW void* calloc(size_t count, size_t size) {
    if (allocshim::Refuse()) {
        errno = ENOMEM;
        return nullptr;
    }
    return allocshim::PlainZeroAllocate(count, size);
}
SHIM_RAW void* realloc(void* p, size_t size) {
    if (allocshim::Early(p)) {
        // Moved out of the early blocks, whose sizes are not kept: copied whole.
        void* moved = allocshim::PlainAllocate(size);
        if (moved)
            std::memcpy(moved, p,
                        std::min(size, sizeof(allocshim::g_early) -
                                           size_t(static_cast<char*>(p) - allocshim::g_early)));
        return moved;
    }
    if (size != 0 && allocshim::Refuse()) {
        errno = ENOMEM;
        return nullptr;
    }
    const allocshim::Real* real = allocshim::TheReal();
    return real ? real->realloc(p, size) : allocshim::EarlyBlock(size);
}
SHIM_RAW void free(void* p) {
    allocshim::PlainFree(p);
}
}
#endif

using allocshim::Allocate;
using allocshim::AllocateOrThrow;
using allocshim::FreeAligned;
constexpr size_t kPlain = alignof(std::max_align_t);

void* operator new(size_t size) {
    return AllocateOrThrow(size, kPlain);
}
void* operator new[](size_t size) {
    return AllocateOrThrow(size, kPlain);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, kPlain);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, kPlain);
}
void* operator new(size_t size, std::align_val_t a) {
    return AllocateOrThrow(size, static_cast<size_t>(a));
}
void* operator new[](size_t size, std::align_val_t a) {
    return AllocateOrThrow(size, static_cast<size_t>(a));
}
void* operator new(size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<size_t>(a));
}
void* operator new[](size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<size_t>(a));
}
void operator delete(void* p) noexcept {
    allocshim::PlainFree(p);
}
void operator delete[](void* p) noexcept {
    allocshim::PlainFree(p);
}
void operator delete(void* p, size_t) noexcept {
    allocshim::PlainFree(p);
}
void operator delete[](void* p, size_t) noexcept {
    allocshim::PlainFree(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    allocshim::PlainFree(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    allocshim::PlainFree(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    FreeAligned(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    FreeAligned(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
    FreeAligned(p);
}
void operator delete[](void* p, size_t, std::align_val_t) noexcept {
    FreeAligned(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    FreeAligned(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    FreeAligned(p);
}
