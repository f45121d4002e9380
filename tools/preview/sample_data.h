// Sample contents for the library's dialogs, shared by the preview tool and
// the real-input test host: three reports, and a small sales report whose
// wizard steps show columns, a sort order, a filter and two saved filters.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/report_source.h"
#include "owner/dt_owner.h"

namespace sample {

inline const char* const kReportNames[3] = {"Sales by Region", "Sales by Product and Month",
                                            "Returns (fixed layout)"};

class SampleReports : public CReportSource {
  public:
    explicit SampleReports(const char* const names[3] = kReportNames) {
        for (int i = 0; i < 3; ++i) {
            std::memset(&records_[i], 0, sizeof records_[i]);
            std::strncpy(records_[i].name, names[i], sizeof records_[i].name - 1);
            records_[i].customisable = i < 2;
            list_[i] = &records_[i];
        }
    }
    ZevDTAPIReport** GetReportList() const override { return const_cast<ZevDTAPIReport**>(list_); }
    uint32_t GetReportCount() const override { return 3; }

  private:
    ZevDTAPIReport records_[3];
    ZevDTAPIReport* list_[3];
};

// A small sales report: the wizard's steps show its columns, with two
// displayed, one sorted and one filtered, and two saved filters.
class SampleColumns : public CDTOwner {
  public:
    SampleColumns() {
        struct Def {
            const char* table;
            const char* column;
            int32_t display;
            uint16_t type;
        };
        const Def defs[] = {{"SALES", "SALE_DATE", 1, 11}, {"REGION", "REGION", 2, 10},
                            {"REGION", "CITY", 0, 10},     {"PRODUCT", "CATEGORY", 0, 10},
                            {"PRODUCT", "PRODUCT", 3, 10}, {"SALES", "QUANTITY", 0, 3},
                            {"SALES", "AMOUNT", 4, 3}};
        for (const Def& d : defs) {
            ZevDTAPIColumn c;
            std::memset(&c, 0, sizeof c);
            std::strncpy(c.tableName, d.table, sizeof c.tableName - 1);
            std::strncpy(c.columnName, d.column, sizeof c.columnName - 1);
            c.displayPosition = d.display;
            c.dataType = d.type;
            columns_.push_back(c);
        }
        columns_[0].sortPosition = 1;
        columns_[0].sortDirection = ZEVDTAPI_SORT_DESCENDING;
        std::strcpy(columns_[1].condition, "REGION.REGION = 'East'");
        for (ZevDTAPIColumn& c : columns_) pointers_.push_back(&c);
        filters_ = {"Eastern sales$*$Only the East region$*$REGION.REGION$*$REGION.REGION = 'East'",
                    "Large orders$*$$*$SALES.QUANTITY$*$SALES.QUANTITY >= 20"};
    }
    ZevDTAPIColumn** GetColumnList() const override { return const_cast<ZevDTAPIColumn**>(pointers_.data()); }
    int32_t GetColumnCount() const override { return static_cast<int32_t>(pointers_.size()); }
    void ShowLibraryError() override {}
    uint32_t CancelServerRequest() override { return 0; }
    int32_t GetFilterDescConditions(char*** records, int32_t* count) override {
        records_.clear();
        for (std::string& f : filters_) records_.push_back(&f[0]);
        *records = records_.data();
        *count = static_cast<int32_t>(records_.size());
        return 0;
    }
    // Saved filters are kept, as a library keeps them, for the next load.
    int32_t SetFilterDescConditions(char** records, int32_t count) override {
        filters_.assign(records, records + count);
        return 0;
    }
    const std::vector<std::string>& SavedFilters() const { return filters_; }
    int32_t GetFilterData(ZevDTAPIColumn*, char*** values, int32_t* count) override {
        *values = nullptr;
        *count = 0;
        return 0;
    }

  private:
    std::vector<ZevDTAPIColumn> columns_;
    std::vector<ZevDTAPIColumn*> pointers_;
    std::vector<std::string> filters_;
    std::vector<char*> records_;
};

}  // namespace sample
