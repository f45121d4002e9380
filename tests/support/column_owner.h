// A stand-in for the drill-through object where the wizard and the filter
// code need one: it holds column records and answers the library calls of the
// filters from programmable lists.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "owner/dt_owner.h"

namespace testsupport {

class ColumnOwner : public CDTOwner {
  public:
    // Adds a column record; display and sort positions as given.
    ZevDTAPIColumn& Add(const char* table, const char* column, int32_t display = 0, uint16_t type = 10) {
        records_.emplace_back();
        ZevDTAPIColumn& c = records_.back();
        std::memset(&c, 0, sizeof c);
        std::strncpy(c.tableName, table, sizeof c.tableName - 1);
        std::strncpy(c.columnName, column, sizeof c.columnName - 1);
        c.displayPosition = display;
        c.dataType = type;
        Relink();
        return c;
    }
    ZevDTAPIColumn& At(size_t i) { return records_.at(i); }

    ZevDTAPIColumn** GetColumnList() const override {
        return pointers_.empty() ? nullptr : const_cast<ZevDTAPIColumn**>(pointers_.data());
    }
    int32_t GetColumnCount() const override { return static_cast<int32_t>(pointers_.size()); }
    void ShowLibraryError() override { ++errorsShown; }
    uint32_t CancelServerRequest() override {
        ++cancels;
        return 0;
    }
    int32_t GetFilterDescConditions(char*** records, int32_t* count) override {
        stored.clear();
        for (std::string& s : savedFilters) stored.push_back(&s[0]);
        *records = stored.empty() ? nullptr : stored.data();
        *count = static_cast<int32_t>(stored.size());
        return getStatus;
    }
    int32_t SetFilterDescConditions(char** records, int32_t count) override {
        if (setStatus == 0) {
            savedFilters.clear();
            for (int32_t i = 0; i < count; ++i) savedFilters.push_back(records[i] ? records[i] : "");
        }
        ++saves;
        return setStatus;
    }
    int32_t GetFilterData(ZevDTAPIColumn*, char*** values, int32_t* count) override {
        batch.clear();
        if (nextBatch < batches.size())
            for (std::string& s : batches[nextBatch]) batch.push_back(&s[0]);
        ++nextBatch;
        *values = batch.empty() ? nullptr : batch.data();
        *count = static_cast<int32_t>(batch.size());
        return dataStatus;
    }

    std::vector<std::string> savedFilters;
    std::vector<std::vector<std::string>> batches;
    size_t nextBatch = 0;
    int32_t getStatus = 0, setStatus = 0, dataStatus = 0;
    int errorsShown = 0, cancels = 0, saves = 0;

  private:
    void Relink() {
        pointers_.clear();
        for (ZevDTAPIColumn& c : records_) pointers_.push_back(&c);
    }
    std::vector<ZevDTAPIColumn> records_;
    std::vector<ZevDTAPIColumn*> pointers_;
    std::vector<char*> stored, batch;
};

}  // namespace testsupport
