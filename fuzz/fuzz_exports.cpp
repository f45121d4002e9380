// The nine exports as a host may call them, in any order and with any
// handle, against a data-transfer library whose every answer comes from the
// input (statuses, login records, reports, columns, cells, saved filters,
// value batches, error texts), while a user does whatever the input says in
// the dialogs and the wizard. Every export must answer with a code.
#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "dtapi_table.h"
#include "framework/script/test_driver.h"
#include "framework/script/ui.h"
#include "framework/shell_hook.h"
#include "framework/win_types.h"
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "zevdtu.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(at, size) ((void)(at), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(at, size) ((void)(at), (void)(size))
#endif

namespace {

FuzzInput* g_in = nullptr;

// Column records (16 KB each) kept from run to run: made and zeroed afresh
// for every answer they cost more than the rest of a run. Between runs they
// are poisoned, so a library that still reads one after its run is caught
// as before.
class ColumnPool {
  public:
    ZevDTAPIColumn& Next() {
        if (used_ == records_.size())
            records_.emplace_back();
        ZevDTAPIColumn& c = records_[used_++];
        ASAN_UNPOISON_MEMORY_REGION(&c, sizeof c);
        std::memset(&c, 0, sizeof c);
        return c;
    }
    void EndRun() {
        for (size_t i = 0; i < used_; ++i) ASAN_POISON_MEMORY_REGION(&records_[i], sizeof records_[i]);
        used_ = 0;
    }

  private:
    std::deque<ZevDTAPIColumn> records_;  // never moved once made
    size_t used_ = 0;
};

// What the fake library handed out in this run; it lives until the run ends,
// as the library's records live until the library's next answer.
struct Handouts {
    std::deque<ZevDTAPIReport> reports;
    ColumnPool& columns;
    std::deque<std::string> texts;
    std::deque<std::vector<char>> cells;
    std::deque<std::vector<void*>> arrays;
};
Handouts* g_out = nullptr;

const char* const kNames[] = {"SALES", "REGION", "AMOUNT", "sales", "region", "", " ", "A.B", "$*$", "'"};

uint32_t Status() {
    uint8_t b = g_in->Byte();
    if (b < 216)
        return 0;
    static const uint32_t kStatuses[] = {1, 7, ZEVDTAPI_LOGIN_REFUSED, 50001, 0xffffffffu};
    return kStatuses[b % 5];
}

void Name(char* field, size_t size) {
    uint8_t b = g_in->Byte();
    std::string text = b < 200 ? kNames[b % 10] : g_in->Text(b == 255 ? 5000 : 40);
    size_t n = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

template <typename T>
T** Array(size_t n) {
    g_out->arrays.emplace_back(n ? n : 1, nullptr);
    return reinterpret_cast<T**>(g_out->arrays.back().data());
}

char* Text() {
    uint8_t b = g_in->Byte();
    g_out->texts.push_back(b < 160 ? kNames[b % 10] : g_in->Text(b == 255 ? 9000 : 60));
    return &g_out->texts.back()[0];
}

uint32_t ZEVDT_CALL Init(uintptr_t, void** handle) {
    *handle = reinterpret_cast<void*>(uintptr_t{0x1000});
    return Status();
}
uint32_t ZEVDT_CALL SetConnection(void*, char**, uint32_t, uint64_t) {
    return Status();
}
uint32_t ZEVDT_CALL GetInfo(void*, ZevDTAPIConnectionInfo* info) {
    Name(info->serverName, sizeof info->serverName);
    Name(info->dataSourceName, sizeof info->dataSourceName);
    Name(info->userName, sizeof info->userName);
    info->loginFlags = static_cast<uint16_t>(g_in->Below(8) < 5 ? 0 : g_in->Byte() & 0x0f);
    return Status();
}
uint32_t ZEVDT_CALL SetInfo(void*, ZevDTAPIConnectionInfo*) {
    return Status();
}
uint32_t ZEVDT_CALL Connect(void*) {
    return Status();
}
uint32_t ZEVDT_CALL GetReports(void*, ZevDTAPIReport*** reports, uint32_t* count) {
    uint32_t n = g_in->Below(5);
    ZevDTAPIReport** list = Array<ZevDTAPIReport>(n);
    for (uint32_t i = 0; i < n; ++i) {
        g_out->reports.emplace_back();
        ZevDTAPIReport& r = g_out->reports.back();
        std::memset(&r, 0, sizeof r);
        Name(r.name, sizeof r.name);
        r.customisable = g_in->Byte() & 1;
        list[i] = g_in->Byte() == 255 ? nullptr : &r;
    }
    *reports = n == 0 && (g_in->Byte() & 1) ? nullptr : list;
    *count = n;
    return Status();
}
uint32_t ZEVDT_CALL ExecuteReport(void*, uint32_t) {
    return Status();
}
uint32_t ZEVDT_CALL GetColumns(void*, ZevDTAPIColumn*** columns, int32_t* count) {
    uint32_t n = g_in->Below(6);
    ZevDTAPIColumn** list = Array<ZevDTAPIColumn>(n);
    for (uint32_t i = 0; i < n; ++i) {
        ZevDTAPIColumn& c = g_out->columns.Next();
        c.displayPosition = static_cast<int32_t>(g_in->Below(6)) - 1;
        Name(c.tableName, sizeof c.tableName);
        Name(c.columnName, sizeof c.columnName);
        static const uint16_t kTypes[] = {10, 11, 20, 21};
        c.dataType = kTypes[g_in->Below(4)];
        c.sortPosition = static_cast<int32_t>(g_in->Below(4)) - 1;
        c.sortDirection = static_cast<int32_t>(g_in->Below(3));
        if (g_in->Byte() > 200)
            Name(c.condition, sizeof c.condition);
        list[i] = g_in->Byte() == 255 ? nullptr : &c;
    }
    *columns = list;
    *count = g_in->Byte() == 255 ? -1 : static_cast<int32_t>(n);
    return Status();
}
uint32_t ZEVDT_CALL GetData(void*, ZevDTAPICell*** cells, uint32_t* rows, uint32_t* columns) {
    uint32_t r = g_in->Below(5), c = g_in->Below(5);
    ZevDTAPICell** list = Array<ZevDTAPICell>(size_t(r) * c);
    for (uint32_t i = 0; i < r * c; ++i) {
        if (g_in->Byte() < 40)
            continue;
        std::string text = g_in->Text(300);
        g_out->cells.emplace_back(ZEVDTAPI_CELL_TEXT_OFFSET + text.size() + 1, '\0');
        std::memcpy(g_out->cells.back().data() + ZEVDTAPI_CELL_TEXT_OFFSET, text.data(), text.size());
        list[i] = reinterpret_cast<ZevDTAPICell*>(g_out->cells.back().data());
    }
    *cells = g_in->Byte() == 255 ? nullptr : list;
    *rows = r;
    *columns = c;
    return Status();
}
uint32_t ZEVDT_CALL GetError(void*, uint32_t* number, char* text, uint32_t capacity) {
    *number = g_in->Below(3);
    std::string t = g_in->Byte() & 1 ? g_in->Text() : std::string();
    size_t n = std::min<size_t>(t.size(), capacity);
    std::memcpy(text, t.data(), n);
    text[n] = '\0';
    return Status();
}
uint32_t ZEVDT_CALL ServerCancel(void*) {
    return Status();
}
uint32_t ZEVDT_CALL Close(void*) {
    return Status();
}
uint32_t ZEVDT_CALL Exit(void*) {
    return Status();
}
int32_t ZEVDT_CALL GetFilterDescConditions(void*, char*** records, int32_t* count) {
    uint32_t n = g_in->Below(5);
    char** list = Array<char>(n);
    for (uint32_t i = 0; i < n; ++i) {
        std::string record;
        for (uint32_t f = g_in->Below(6); f > 0; --f)
            record += std::string(Text()) + (g_in->Byte() & 1 ? "$*$" : "");
        g_out->texts.push_back(record);
        list[i] = g_in->Byte() == 255 ? nullptr : &g_out->texts.back()[0];
    }
    *records = list;
    *count = static_cast<int32_t>(n);
    return static_cast<int32_t>(Status());
}
int32_t ZEVDT_CALL SetFilterDescConditions(void*, char** records, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        if (records[i])
            (void)std::strlen(records[i]);
    return static_cast<int32_t>(Status());
}
int32_t ZEVDT_CALL GetFilterData(void*, ZevDTAPIColumn*, char*** values, int32_t* count) {
    uint32_t n = g_in->Below(6);
    char** list = Array<char>(n);
    for (uint32_t i = 0; i < n; ++i) list[i] = Text();
    uint8_t shape = g_in->Byte();
    *values = shape == 255 ? nullptr : list;
    *count = shape == 254 ? -1 : static_cast<int32_t>(n);
    return static_cast<int32_t>(Status());
}

const zevdt::DTAPITable kTable = {Init,
                                  SetConnection,
                                  GetInfo,
                                  SetInfo,
                                  SetInfo,
                                  Connect,
                                  GetReports,
                                  ExecuteReport,
                                  GetColumns,
                                  GetData,
                                  GetError,
                                  ServerCancel,
                                  Close,
                                  Exit,
                                  GetFilterDescConditions,
                                  SetFilterDescConditions,
                                  GetFilterData};

// A user who does what the input says, on whatever window is active: clicks,
// typing, rows, ticks, answers and sheet buttons, refused or not. After a
// bounded number of actions the windows take their defaults, so a run ends.
class FuzzUser : public fw::Driver {
  public:
    bool Step(fw::Hwnd active) override {
        if (g_in->Empty() || ++steps_ > 400)
            return false;
        static const int kIds[] = {1,    2,    9,    1000, 1001, 1002, 1007, 1008, 1009, 1010, 1011,
                                   1012, 1013, 1014, 1015, 1016, 1022, 1024, 1025, 1026, 1027, 1028,
                                   1029, 1030, 1031, 1033, 1034, 1036, 1040, 1043, 1044, 1045, 1047,
                                   1050, 1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058, 1062, 1063,
                                   1064, 1065, 1066, 1067, 1068, 1069, 1070, 1071};
        try {
            fw::Ui ui(active);
            int id = kIds[g_in->Below(sizeof kIds / sizeof *kIds)];
            // The choices are read first, so that an input means the same
            // session whatever the windows hold. An action the user could not
            // perform (a control that is not there, not an edit, a row that
            // is not there, a wizard button that is off) is skipped without
            // the UiError it would throw, before it changed anything: most
            // picks miss, and a thrown error costs an unwinding under the
            // sanitizers.
            switch (g_in->Below(10)) {
                case 0:
                case 1:
                    if (Usable(ui, active, id))
                        ui.Click(id);
                    break;
                case 2: {
                    std::string text = g_in->Text(g_in->Byte() == 255 ? 9000 : 40);
                    if (Usable(ui, active, id) && Editable(ui, id))
                        ui.Type(id, text);
                    break;
                }
                case 3: {
                    int row = static_cast<int>(g_in->Below(6)) - 1;
                    if (Usable(ui, active, id) && HasRow(ui, id, row))
                        ui.SelectRow(id, row);
                    break;
                }
                case 4: {
                    int first = static_cast<int>(g_in->Below(4));
                    int second = static_cast<int>(g_in->Below(4));
                    if (Usable(ui, active, id) && TakesRows(ui, id, first, second))
                        ui.SelectRows(id, {first, second});
                    break;
                }
                case 5: {
                    static const int kAnswers[] = {IDOK, IDCANCEL, IDYES, IDNO};
                    int answer = kAnswers[g_in->Below(4)];
                    if (ui.Kind() == fw::WindowKind::MessageBox)
                        ui.Answer(answer);
                    break;
                }
                case 6: {
                    auto button = static_cast<fw::SheetButton>(g_in->Below(5));
                    if (ui.Kind() == fw::WindowKind::Sheet && Pressable(active, button))
                        ui.Press(button);
                    break;
                }
                case 7: {
                    bool checked = g_in->Byte() & 1;
                    if (Usable(ui, active, id))
                        ui.SetCheck(id, checked);
                    break;
                }
                case 8: {
                    int row = static_cast<int>(g_in->Below(4));
                    if (Usable(ui, active, id) && HasRow(ui, id, row))
                        ui.DoubleClickRow(id, row);
                    break;
                }
                default:
                    if (!(g_in->Byte() & 1))
                        ui.PressF1();
                    else if (Usable(ui, active, id) && ClassOf(ui, id) == "SysListView32")
                        ui.ClickEmpty(id);
                    break;
            }
        } catch (const fw::UiError&) {
            // A user cannot do that here: try something else.
        }
        return true;
    }

  private:
    // Present, shown and enabled, on a window no modal one runs above.
    static bool Usable(const fw::Ui& ui, fw::Hwnd active, int id) {
        return ui.Has(id) && ui.Visible(id) && ui.Enabled(id) && fw::CurrentBackend().IsWindowEnabled(active);
    }
    // The rest of what an action asks of a usable control, asked beforehand
    // for the same reason.
    static std::string ClassOf(const fw::Ui& ui, int id) {
        return fw::CurrentBackend().GetClassName(ui.Control(id));
    }
    static bool Editable(const fw::Ui& ui, int id) { return ClassOf(ui, id) == "Edit" && !ui.ReadOnly(id); }
    static bool HasRows(const std::string& cls) {
        return cls == "SysListView32" || cls == "ListBox" || cls == "ComboBox";
    }
    static bool HasRow(const fw::Ui& ui, int id, int row) {
        return HasRows(ClassOf(ui, id)) && row >= 0 && row < ui.RowCount(id);
    }
    // Two rows at once: a list view that takes several, or a list box with
    // several selected rows.
    static bool TakesRows(const fw::Ui& ui, int id, int first, int second) {
        std::string cls = ClassOf(ui, id);
        if (!HasRows(cls) || std::max(first, second) >= ui.RowCount(id))
            return false;
        if (cls == "SysListView32")
            return !(ui.Style(id) & LVS_SINGLESEL);
        return cls == "ListBox" && (ui.Style(id) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL));
    }
    static bool Pressable(fw::Hwnd sheet, fw::SheetButton button) {
        static const int kButtons[] = {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, IDCANCEL, IDHELP};
        fw::Backend& b = fw::CurrentBackend();
        fw::Hwnd h = b.GetDlgItem(sheet, kButtons[static_cast<int>(button)]);
        return b.IsWindowEnabled(sheet) && h && b.IsWindowVisible(h) && b.IsWindowEnabled(h);
    }

    int steps_ = 0;
};

intptr_t NoShell(const std::string&) {
    return 42;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool installed = [] {
        zevdt::SetDTAPIForTesting(&kTable);
        fw::SetShellOpenHook(&NoShell);
        return true;
    }();
    (void)installed;
    static ColumnPool* columns = new ColumnPool;
    FuzzInput in(data, size);
    Handouts out{{}, *columns, {}, {}, {}};
    g_in = &in;
    g_out = &out;
    FuzzUser user;
    fw::ScopedDriver scope(&user);

    void* handles[3] = {nullptr, nullptr, reinterpret_cast<void*>(&out)};  // the last is no handle at all
    std::vector<std::string> members;
    for (int call = 0; call < 16 && !in.Empty(); ++call) {
        void*& h = handles[in.Below(2)];
        void* any = handles[in.Below(3)];
        switch (in.Below(10)) {
            case 0:
                if (!h)
                    ZevDTInit(in.Byte(), &h);
                break;
            case 1:
            case 2: {
                members.clear();
                for (uint32_t n = in.Below(4); n > 0; --n) members.push_back(in.Text());
                std::vector<char*> pointers;
                for (std::string& m : members) pointers.push_back(&m[0]);
                ZevDTOpen(any, static_cast<uint32_t>(pointers.size()),
                          pointers.empty() ? nullptr : pointers.data(), in.Int32());
                break;
            }
            case 3: {
                ZevDTHeaderItem* items = nullptr;
                uint32_t count = 0;
                if (ZevDTGetHeader(any, &items, &count) == 0)
                    for (uint32_t i = 0; i < count; ++i) (void)std::strlen(items[i].name);
                break;
            }
            case 4: {
                ZevDTHeaderInfoItem* items = nullptr;
                uint32_t count = 0;
                if (ZevDTGetHeaderInfo(any, &items, &count) == 0)
                    for (uint32_t i = 0; i < count; ++i) (void)std::strlen(items[i].columnName);
                break;
            }
            case 5: {
                ZevDTDataItem* items = nullptr;
                uint32_t count = 0;
                if (ZevDTGetData(any, &items, &count) == 0)
                    for (uint32_t i = 0; i < count; ++i) (void)std::strlen(items[i].text);
                break;
            }
            case 6:
                ZevDTClose(any);
                break;
            case 7:
                if (char* password = ZevDTGetSourcePassword(any))
                    (void)std::strlen(password);
                ZevDTSetSourcePassword(any, in.Text(60).c_str());
                break;
            case 8:
                ZevDTExit(h);
                // Kept: calls with an ended handle must be refused, not followed.
                break;
            default:
                ZevDTExit(any);
                break;
        }
    }
    for (int i = 0; i < 2; ++i) ZevDTExit(handles[i]);
    columns->EndRun();
    g_in = nullptr;
    g_out = nullptr;
    return 0;
}

std::vector<std::string> FuzzSeeds() {
    return {
        std::string("\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x02\x01\x00\x00\x00"
                    "\x00\x00\x00\x00\x00\x00\x03\x00\x05\x00\x00\x00\x00",
                    35),
        std::string("\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x01\x00\x00\x03\x01\x00\x01\x00"
                    "\x00\x02\x00\x00\x01\x00\x00\x00\x00\x01\x06\x00\x00\x00\x00\x00\x00\x00\x00\x09",
                    42)};
}
