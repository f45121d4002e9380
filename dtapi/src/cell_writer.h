// Writes the cells of one data result: 8 zero bytes and the text, NUL-ended,
// into chunks that never move; a NULL is a NULL pointer. Both engines' row
// loops write through it, so cells look the same whichever engine read them.
#ifndef ZEVDTAPI_CELL_WRITER_H
#define ZEVDTAPI_CELL_WRITER_H

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "cell_arena.h"
#include "cell_array.h"
#include "code_page.h"
#include "errors.h"
#include "number_text.h"
#include "zevdtapi.h"

namespace zevdtapi {

class CellWriter {
  public:
    static constexpr uint64_t kMaxCells = 0x7fffffffu;

    // host converts the texts into the caller's code page; NULL when nothing needs converting.
    CellWriter(CellArena& arena, CellArray& cells, const std::vector<bool>& decimal, const HostText* host)
        : arena_(arena), cells_(cells), decimal_(decimal), host_(host), columns_(decimal.size()) {}

    void BeginRow() {
        if ((rows_ + 1) * columns_ > kMaxCells)
            Fail(kResultTooLarge, "The report has more rows than one result can hold (2^31 cells).");
        ++rows_;
    }
    void Null() { cells_.push_back(nullptr); }
    void Text(size_t column, const char* text, size_t len) {
        std::string converted;
        if (host_ && !decimal_[column]) {
            converted = host_->Out(std::string(text, len));
            text = converted.data();
            len = converted.size();
        }
        char* p = arena_.Allocate(ZEVDTAPI_CELL_TEXT_OFFSET + len + 3);
        std::memset(p, 0, ZEVDTAPI_CELL_TEXT_OFFSET);
        char* t = p + ZEVDTAPI_CELL_TEXT_OFFSET;
        if (decimal_[column]) {
            len = NormaliseDecimal(text, len, t);
        } else {
            std::memcpy(t, text, len);
        }
        t[len] = 0;
        cells_.push_back(reinterpret_cast<ZevDTAPICell*>(p));
    }
    uint64_t rows() const { return rows_; }

  private:
    CellArena& arena_;
    CellArray& cells_;
    const std::vector<bool>& decimal_;
    const HostText* host_;
    uint64_t columns_;
    uint64_t rows_ = 0;
};

}  // namespace zevdtapi

#endif
