// The cell pointers of one data result, handed over as one array. It grows
// with realloc: a large block then moves by remapping its pages instead of
// being copied into fresh memory, so a first result of millions of cells pays
// the page faults of its final size once, not of every size on the way. The
// capacity stays for the next result.
#ifndef ZEVDTAPI_CELL_ARRAY_H
#define ZEVDTAPI_CELL_ARRAY_H

#include <cstddef>

#include "zevdtapi.h"

namespace zevdtapi {

class CellArray {
  public:
    CellArray() = default;
    CellArray(const CellArray&) = delete;
    CellArray& operator=(const CellArray&) = delete;
    ~CellArray() { Release(); }

    void push_back(ZevDTAPICell* cell) {
        if (size_ == capacity_)
            Grow(size_ + 1);
        data_[size_++] = cell;
    }
    // Room for at least n cells; throws std::bad_alloc when there is none.
    void Reserve(size_t n) {
        if (n > capacity_)
            Grow(n);
    }
    // Forgets the cells; keeps the memory.
    void clear() { size_ = 0; }
    // Frees everything.
    void Release();

    ZevDTAPICell** data() { return data_; }
    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }

  private:
    void Grow(size_t atLeast);

    ZevDTAPICell** data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace zevdtapi

#endif
