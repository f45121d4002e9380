// Memory for the cells of one data result: chunks that never move, so a cell's
// address can be handed out as soon as it is written. The chunks are kept for
// the next result, which then pays no fresh page faults.
#ifndef ZEVDTAPI_CELL_ARENA_H
#define ZEVDTAPI_CELL_ARENA_H

#include <cstddef>
#include <memory>
#include <vector>

namespace zevdtapi {

class CellArena {
  public:
    // Forgets every cell; keeps the chunks.
    void Reset() {
        current_ = 0;
        used_ = 0;
    }
    // Frees everything.
    void Release() {
        chunks_.clear();
        Reset();
    }

    char* Allocate(size_t bytes) {
        if (current_ < chunks_.size() && chunks_[current_].size - used_ >= bytes) {
            char* p = chunks_[current_].data.get() + used_;
            used_ += bytes;
            return p;
        }
        return AllocateSlow(bytes);
    }

  private:
    struct Chunk {
        std::unique_ptr<char[]> data;
        size_t size;
    };
    char* AllocateSlow(size_t bytes);

    std::vector<Chunk> chunks_;
    size_t current_ = 0;
    size_t used_ = 0;
};

}  // namespace zevdtapi

#endif
