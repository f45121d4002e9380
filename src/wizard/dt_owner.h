// What the wizard's pages read of the drill-through object: the column
// records of the executed report, which they edit in place.
#pragma once

#include <cstdint>

#include "zevdtapi.h"

class CDTOwner {
  public:
    virtual ZevDTAPIColumn** GetColumnList() const = 0;
    virtual int32_t GetColumnCount() const = 0;

  protected:
    ~CDTOwner() = default;
};
