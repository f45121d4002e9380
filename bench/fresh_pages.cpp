// What fresh memory costs on this machine as more of it is taken: the first
// write to every page of 3×G GiB against three times the same for G GiB,
// both freshly allocated and freed again. A ratio of 1 means the cost per
// page does not depend on how much is taken; above 1, a large drill pays more
// per cell for its memory than a small one, whatever the program does.
//
//   zevdt-fresh-pages [--gib G] [--reps K]
//
// Prints "pair SUBJECT_US ANCHOR_US" per repetition.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

// Microseconds for the first write to each page of `bytes` new bytes; -1 if
// the memory is not to be had.
long long TouchFresh(size_t bytes) {
    char* p = static_cast<char*>(std::malloc(bytes));
    if (!p)
        return -1;
    auto a = Clock::now();
    for (size_t i = 0; i < bytes; i += 4096) p[i] = 1;
    auto b = Clock::now();
    volatile char keep = p[bytes / 2];
    (void)keep;
    std::free(p);
    return std::chrono::duration_cast<std::chrono::microseconds>(b - a).count();
}

}  // namespace

int main(int argc, char** argv) {
    size_t gib = 3;
    int reps = 3;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--gib") && i + 1 < argc) {
            gib = std::strtoul(argv[++i], nullptr, 10);
        } else if (!std::strcmp(argv[i], "--reps") && i + 1 < argc) {
            reps = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: zevdt-fresh-pages [--gib G] [--reps K]\n");
            return 2;
        }
    }
    const size_t small = gib << 30;
    for (int rep = 0; rep < reps; ++rep) {
        long long large = TouchFresh(3 * small), one = TouchFresh(small);
        if (large < 0 || one < 0) {
            std::fprintf(stderr, "zevdt-fresh-pages: %zu GiB of memory are not to be had\n", 3 * gib);
            return 1;
        }
        std::printf("pair %lld %lld\n", large, 3 * one);
        std::fflush(stdout);
    }
    return 0;
}
