// What the report selection dialog reads of the drill-through object: the
// report list the library handed over, and its length.
#pragma once

#include <cstdint>

#include "zevdtapi.h"

class CReportSource {
  public:
    virtual ZevDTAPIReport** GetReportList() const = 0;
    virtual uint32_t GetReportCount() const = 0;

  protected:
    ~CReportSource() = default;
};
