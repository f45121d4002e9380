// What the wizard's pages and the filter code use of the drill-through
// object: the column records of the executed report, which they edit in
// place, and the library calls of the filters, made with the object's
// library handle.
#pragma once

#include <cstdint>

#include "zevdtapi.h"

class CDTOwner {
  public:
    virtual ZevDTAPIColumn** GetColumnList() const = 0;
    virtual int32_t GetColumnCount() const = 0;

    // Shows the library's last error in a message box.
    virtual void ShowLibraryError() = 0;
    // Stops the library's running request; a failure is shown. Returns the status.
    virtual uint32_t CancelServerRequest() = 0;
    // The saved filters of the report, and their replacement as a whole.
    virtual int32_t GetFilterDescConditions(char*** records, int32_t* count) = 0;
    virtual int32_t SetFilterDescConditions(char** records, int32_t count) = 0;
    // One batch of a column's distinct values; a count of 0 ends the sequence.
    virtual int32_t GetFilterData(ZevDTAPIColumn* column, char*** values, int32_t* count) = 0;

  protected:
    ~CDTOwner() = default;
};
