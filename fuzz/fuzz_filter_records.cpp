// Saved-filter records come from the data-transfer library, which keeps what
// any earlier program saved: any text must load, apply to the columns, be
// edited and go back to the library without a fault.
#include "filters/column_conditions.h"
#include "filters/filter_list.h"
#include "filters/filter_record.h"
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "support/column_owner.h"

namespace {

// Texts that the record format and the column keys give meaning to.
const char* const kPieces[] = {
    "$*$", "$*", "*$",   "$",      "SALES.REGION", "sales.region ", " SALES.AMOUNT", "SALES.REGION = East",
    "",    " ",  "\r\n", "Default"};

std::string Piece(FuzzInput& in) {
    uint8_t b = in.Byte();
    if (b < 128)
        return kPieces[b % (sizeof kPieces / sizeof *kPieces)];
    return in.Text(b == 255 ? 9000 : 64);
}

std::string Compose(FuzzInput& in) {
    std::string out;
    for (uint32_t n = in.Below(6); n > 0; --n) out += Piece(in);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    testsupport::ColumnOwner owner;
    owner.Add("SALES", "REGION", 1);
    owner.Add("SALES", "AMOUNT", 2, 20);
    owner.Add("sales", "region", 0);
    for (uint32_t n = in.Below(8); n > 0; --n) owner.savedFilters.push_back(Compose(in));
    owner.getStatus = in.Below(4) == 0 ? 5 : 0;

    CFilterList list(&owner);
    list.LoadFilters();
    CColumnTable table;
    table.Build(owner);
    while (!in.Empty()) {
        switch (in.Below(10)) {
            case 0:
                list.SetCurrentIndex(static_cast<int>(in.Below(12)) - 2);
                break;
            case 1: {
                CStringList pairs;
                list.GetCurrentConditions(pairs);
                table.ApplyFilterConditions(pairs);
                table.GetConditionSummary();
                break;
            }
            case 2:
                list.SetColumnCondition(CString(Compose(in)), CString(Compose(in)));
                break;
            case 3:
                list.RenameCurrentFilter(CString(Compose(in)));
                break;
            case 4:
                list.SetCurrentDescription(CString(Compose(in)));
                break;
            case 5:
                list.AddFilter(CString(Compose(in)), in.Byte() & 1);
                break;
            case 6:
                list.DeleteCurrentFilter();
                break;
            case 7:
                list.ClearCurrentConditions();
                break;
            case 8:
                owner.setStatus = in.Below(3) == 0 ? 9 : 0;
                if (list.SaveFilters(0))
                    list.LoadFilters();
                break;
            default: {
                CStringList names;
                list.GetFilterNames(names);
                table.SetColumnCondition(static_cast<int>(in.Below(5)) - 1, CString(Compose(in)));
                list.GetCurrentFilterName();
                break;
            }
        }
    }
    return 0;
}

std::vector<std::string> FuzzSeeds() {
    return {std::string("\x02\x00\x03\x04\x02\x05\x81\x03Q1\x00\x01\x01\x02\x02\x04\x07\x08\x00", 19),
            std::string("\x03\x01\x00\x02\x01\x00\x00\x02\x04\x05\x06\x01\x05\x02\x0b\x00\x08\x01", 18)};
}
