#include "cell_arena.h"

namespace zevdtapi {

char* CellArena::AllocateSlow(size_t bytes) {
    // Chunks double from 1 MiB up to 64 MiB: a large first result takes a few
    // big blocks instead of thousands of small ones.
    constexpr size_t kFirstChunk = size_t(1) << 20;
    constexpr size_t kLargestChunk = size_t(64) << 20;
    // Move on to the next kept chunk that is big enough, or add one.
    while (current_ + 1 < chunks_.size()) {
        ++current_;
        used_ = 0;
        if (chunks_[current_].size >= bytes) {
            used_ = bytes;
            return chunks_[current_].data.get();
        }
    }
    size_t chunk = kFirstChunk;
    for (size_t i = 0; i < chunks_.size() && chunk < kLargestChunk; ++i) chunk *= 2;
    size_t size = bytes > chunk ? bytes : chunk;
    chunks_.push_back(Chunk{std::unique_ptr<char[]>(new char[size]), size});
    current_ = chunks_.size() - 1;
    used_ = bytes;
    return chunks_[current_].data.get();
}

}  // namespace zevdtapi
