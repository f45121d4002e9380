#include "cell_arena.h"

namespace zevdtapi {

char* CellArena::AllocateSlow(size_t bytes) {
    constexpr size_t kChunk = size_t(1) << 20;
    // Move on to the next kept chunk that is big enough, or add one.
    while (current_ + 1 < chunks_.size()) {
        ++current_;
        used_ = 0;
        if (chunks_[current_].size >= bytes) {
            used_ = bytes;
            return chunks_[current_].data.get();
        }
    }
    size_t size = bytes > kChunk ? bytes : kChunk;
    chunks_.push_back(Chunk{std::unique_ptr<char[]>(new char[size]), size});
    current_ = chunks_.size() - 1;
    used_ = bytes;
    return chunks_[current_].data.get();
}

}  // namespace zevdtapi
