#include "cell_array.h"

#include <cstdlib>
#include <new>

namespace zevdtapi {

void CellArray::Release() {
    std::free(data_);
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

void CellArray::Grow(size_t atLeast) {
    constexpr size_t kFirst = 4096;
    constexpr size_t kMost = ~size_t(0) / sizeof(ZevDTAPICell*);
    size_t capacity = capacity_ < kFirst ? kFirst : capacity_;
    while (capacity < atLeast && capacity <= kMost / 2) capacity *= 2;
    if (capacity < atLeast)
        throw std::bad_alloc();
    void* grown = std::realloc(data_, capacity * sizeof(ZevDTAPICell*));
    if (!grown)
        throw std::bad_alloc();  // the old block and its cells stay as they were
    data_ = static_cast<ZevDTAPICell**>(grown);
    capacity_ = capacity;
}

}  // namespace zevdtapi
