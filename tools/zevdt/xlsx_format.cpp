#include "xlsx_format.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

#include "host_text.h"

namespace zevdt {
namespace {

constexpr std::uint16_t kTypeDate = 11;
constexpr std::uint16_t kTypeInteger = 20;
constexpr std::uint16_t kTypeDecimal = 21;
constexpr std::size_t kMaxColumns = 16384;
// A spreadsheet's number is a double: beyond 15 digits it would change the
// value, so such a cell stays text and keeps every digit.
constexpr std::size_t kExactDigits = 15;
// Cells whose text widens a column: enough to see the data's shape.
constexpr std::size_t kWidthSampleRows = 1000;
constexpr double kMaxColumnWidth = 60;

bool AllDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "-12", "+7", "18.40", ".5": the plain numbers the data-transfer library
// writes. No exponent, no blanks, no group separators.
bool ParseNumber(std::string_view text, bool fraction, double* value) {
    std::string_view s = text;
    if (!s.empty() && s[0] == '+') {
        s.remove_prefix(1);
        text = s;
    } else if (!s.empty() && s[0] == '-') {
        s.remove_prefix(1);
    }
    size_t point = s.find('.');
    std::string_view whole = s.substr(0, point);
    std::string_view part = point == std::string_view::npos ? std::string_view() : s.substr(point + 1);
    if ((point != std::string_view::npos && (!fraction || part.empty())) || (whole.empty() && part.empty()) ||
        !AllDigits(whole) || !AllDigits(part)) {
        return false;
    }
    size_t lead = whole.find_first_not_of('0');
    size_t significant = (lead == std::string_view::npos ? 0 : whole.size() - lead) + part.size();
    if (lead == std::string_view::npos) {  // 0.000123: the zeros after the point do not count
        size_t first = part.find_first_not_of('0');
        significant = first == std::string_view::npos ? 0 : part.size() - first;
    }
    if (significant > kExactDigits) {
        return false;
    }
    auto result = std::from_chars(text.data(), text.data() + text.size(), *value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// YYYY-MM-DD of a day a spreadsheet can show (from 1900 on).
bool ParseDate(std::string_view s, lxw_datetime* date) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-' || !AllDigits(s.substr(0, 4)) ||
        !AllDigits(s.substr(5, 2)) || !AllDigits(s.substr(8, 2))) {
        return false;
    }
    int year = (s[0] - '0') * 1000 + (s[1] - '0') * 100 + (s[2] - '0') * 10 + (s[3] - '0');
    int month = (s[5] - '0') * 10 + (s[6] - '0');
    int day = (s[8] - '0') * 10 + (s[9] - '0');
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1] + (month == 2 && leap)) {
        return false;
    }
    *date = lxw_datetime{year, month, day, 0, 0, 0.0};
    return true;
}

size_t CharacterCount(std::string_view utf8) {
    return static_cast<size_t>(std::count_if(
        utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

class Writer {
  public:
    Writer(const Report& report, size_t sheetRows) : report_(report), sheetRows_(sheetRows) {}
    ~Writer() {
        if (book_) {
            workbook_close(book_);  // a failed write leaves no half-built workbook in memory
        }
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool Write(const std::string& path, std::string* error) {
        const size_t columns = report_.columns.size();
        if (columns > kMaxColumns) {
            *error = "a sheet holds at most 16384 columns; this report has " + std::to_string(columns);
            return false;
        }
        const size_t rows = report_.RowCount();
        lxw_workbook_options options = {};
        // Rows go to the file as they are written: a sheet of a million rows
        // must not be held in memory a second time.
        options.constant_memory = LXW_TRUE;
        options.use_zip64 = rows * std::max<size_t>(columns, 1) > 50000000 ? LXW_TRUE : LXW_FALSE;
        book_ = workbook_new_opt(path.c_str(), &options);
        if (!book_) {
            *error = "cannot create " + path;
            return false;
        }
        bold_ = workbook_add_format(book_);
        format_set_bold(bold_);
        date_ = workbook_add_format(book_);
        format_set_num_format(date_, "yyyy-mm-dd");
        integer_ = workbook_add_format(book_);
        format_set_num_format(integer_, "0");
        MeasureColumns();

        const size_t perSheet = sheetRows_ - 1;
        const size_t sheets = rows == 0 ? 1 : (rows + perSheet - 1) / perSheet;
        for (size_t sheet = 0; sheet < sheets && status_ == LXW_NO_ERROR; ++sheet) {
            size_t first = sheet * perSheet;
            WriteSheet(sheet, first, std::min(rows, first + perSheet));
        }
        lxw_error closed = workbook_close(book_);
        book_ = nullptr;
        if (status_ == LXW_NO_ERROR) {
            status_ = closed;
        }
        if (status_ != LXW_NO_ERROR) {
            *error = "cannot write " + path + ": " + lxw_strerror(status_);
            return false;
        }
        return true;
    }

  private:
    std::uint16_t TypeOf(size_t column) const {
        const ReportColumn& c = report_.columns[column];
        return c.hasInfo ? c.dataType : 0;
    }

    void MeasureColumns() {
        widths_.assign(report_.columns.size(), 0);
        for (size_t c = 0; c < report_.columns.size(); ++c) {
            size_t width = CharacterCount(HostToUtf8(report_.columns[c].name));
            for (size_t r = 0, n = std::min(report_.RowCount(), kWidthSampleRows); r < n; ++r) {
                width = std::max(width, CharacterCount(report_.Cell(r, c)));
            }
            widths_[c] = std::min(kMaxColumnWidth, static_cast<double>(std::max<size_t>(width, 8) + 2));
        }
    }

    void Check(lxw_error status) {
        if (status_ == LXW_NO_ERROR) {
            status_ = status;
        }
    }

    void WriteSheet(size_t index, size_t first, size_t end) {
        std::string name = index == 0 ? "Report" : "Report (" + std::to_string(index + 1) + ")";
        lxw_worksheet* sheet = workbook_add_worksheet(book_, name.c_str());
        if (!sheet) {
            Check(LXW_ERROR_MEMORY_MALLOC_FAILED);
            return;
        }
        const size_t columns = report_.columns.size();
        for (size_t c = 0; c < columns; ++c) {
            Check(worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                       widths_[c], nullptr));
            Check(worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c),
                                         HostToUtf8(report_.columns[c].name).c_str(), bold_));
        }
        worksheet_freeze_panes(sheet, 1, 0);
        if (columns > 0) {
            Check(worksheet_autofilter(sheet, 0, 0, static_cast<lxw_row_t>(end - first),
                                       static_cast<lxw_col_t>(columns - 1)));
        }
        for (size_t r = first; r < end && status_ == LXW_NO_ERROR; ++r) {
            auto row = static_cast<lxw_row_t>(r - first + 1);
            for (size_t c = 0; c < columns; ++c) {
                WriteCell(sheet, row, static_cast<lxw_col_t>(c), TypeOf(c), report_.Cell(r, c));
            }
        }
    }

    void WriteCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column, std::uint16_t type,
                   std::string_view text) {
        if (text.empty()) {
            return;  // a missing value stays a blank cell, not an empty text
        }
        double number = 0;
        lxw_datetime date;
        if (type == kTypeDate && ParseDate(text, &date)) {
            Check(worksheet_write_datetime(sheet, row, column, &date, date_));
        } else if ((type == kTypeInteger || type == kTypeDecimal) &&
                   ParseNumber(text, type == kTypeDecimal, &number)) {
            Check(worksheet_write_number(sheet, row, column, number,
                                         type == kTypeInteger ? integer_ : nullptr));
        } else {
            Check(worksheet_write_string(sheet, row, column, HostToUtf8(text).c_str(), nullptr));
        }
    }

    const Report& report_;
    const size_t sheetRows_;
    lxw_workbook* book_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_format* integer_ = nullptr;
    std::vector<double> widths_;
    lxw_error status_ = LXW_NO_ERROR;
};

}  // namespace

bool WriteXlsx(const Report& report, const std::string& path, std::string* error, std::size_t sheetRows) {
    if (sheetRows < 2 || sheetRows > kXlsxSheetRows) {
        sheetRows = kXlsxSheetRows;
    }
    return Writer(report, sheetRows).Write(path, error);
}

}  // namespace zevdt
