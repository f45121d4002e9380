#include "formats.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string_view>
#include <vector>

#include "host_text.h"

namespace zevdt {
namespace {

// Windows-1252 0x80..0x9F; 0 marks the unassigned bytes.
const std::uint16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                       0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::uint32_t cp, std::string* out) {
    if (cp < 0x80) {
        *out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out += static_cast<char>(0xC0 | (cp >> 6));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out += static_cast<char>(0xE0 | (cp >> 12));
        *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at s[i] (RFC 3629: no overlong
// forms, no surrogates, nothing above U+10FFFF), or 0.
size_t Utf8SequenceAt(const std::string& s, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b = byte(i);
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        low = b == 0xE0 ? 0xA0 : 0x80;
        high = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        low = b == 0xF0 ? 0x90 : 0x80;
        high = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > s.size() || byte(i + 1) < low || byte(i + 1) > high) {
        return 0;
    }
    for (size_t k = 2; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// Characters a terminal shows for a text: UTF-8 continuation bytes take no
// column of their own. Good enough to line up Latin, Cyrillic or Greek texts.
size_t DisplayWidth(std::string_view text) {
    return static_cast<size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// Output gathered in large blocks: millions of cells must not cost a call of
// the stream, with its locking and checks, for every field.
class Sink {
  public:
    explicit Sink(std::ostream& out) : out_(out) {}
    ~Sink() { Flush(); }
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;

    void Put(char c) {
        if (used_ == kBlock) {
            Flush();
        }
        buffer_[used_++] = c;
    }
    void Append(std::string_view text) {
        if (text.size() > kBlock - used_) {
            Flush();
            if (text.size() > kBlock) {
                out_.write(text.data(), static_cast<std::streamsize>(text.size()));
                return;
            }
        }
        std::memcpy(buffer_.get() + used_, text.data(), text.size());
        used_ += text.size();
    }
    void Flush() {
        if (used_) {
            out_.write(buffer_.get(), static_cast<std::streamsize>(used_));
            used_ = 0;
        }
    }

  private:
    static constexpr size_t kBlock = size_t(1) << 16;
    std::ostream& out_;
    std::unique_ptr<char[]> buffer_{new char[kBlock]};
    size_t used_ = 0;
};

// Whether a CSV field must be quoted: it holds a separator, a quote or a
// line break. A table, as this runs once for each of millions of fields.
struct CsvSpecials {
    bool byte[256] = {};
    constexpr CsvSpecials() {
        byte[static_cast<unsigned char>(',')] = true;
        byte[static_cast<unsigned char>('"')] = true;
        byte[static_cast<unsigned char>('\r')] = true;
        byte[static_cast<unsigned char>('\n')] = true;
    }
};
constexpr CsvSpecials kCsvSpecials;

bool NeedsCsvQuotes(std::string_view text) {
    for (char c : text) {
        if (kCsvSpecials.byte[static_cast<unsigned char>(c)]) {
            return true;
        }
    }
    return false;
}

// A line break or tab inside a cell would break the table's lines.
void PutTableCell(std::string_view text, Sink& out) {
    for (char c : text) {
        out.Put(IsControl(c) ? ' ' : c);
    }
}

void PutCsvField(std::string_view text, Sink& out) {
    if (!NeedsCsvQuotes(text)) {
        out.Append(text);
        return;
    }
    out.Put('"');
    for (char c : text) {
        out.Put(c);
        if (c == '"') {
            out.Put('"');
        }
    }
    out.Put('"');
}

void PutTsvField(std::string_view text, Sink& out) {
    if (text.find_first_of("\t\r\n\\") == std::string_view::npos) {
        out.Append(text);
        return;
    }
    for (char c : text) {
        switch (c) {
            case '\t':
                out.Append("\\t");
                break;
            case '\r':
                out.Append("\\r");
                break;
            case '\n':
                out.Append("\\n");
                break;
            case '\\':
                out.Append("\\\\");
                break;
            default:
                out.Put(c);
        }
    }
}

}  // namespace

std::string Utf8FromAnsi(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        if (size_t length = Utf8SequenceAt(bytes, i)) {
            out.append(bytes, i, length);
            i += length;
            continue;
        }
        std::uint32_t cp = b;
        if (b < 0xA0 && kCp1252High[b - 0x80] != 0) {
            cp = kCp1252High[b - 0x80];
        }
        AppendUtf8(cp, &out);
        ++i;
    }
    return out;
}

std::string JsonString(const std::string& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string text = HostToUtf8(bytes);
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\b':
                out += "\\b";
                continue;
            case '\f':
                out += "\\f";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\t':
                out += "\\t";
                continue;
            default:
                break;
        }
        std::uint32_t escaped = 0x110000;
        if (c < 0x20 || c == 0x7F) {
            escaped = c;
        } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            // C1 controls (U+0080..U+009F) are legal in JSON but invisible and
            // confusing in a terminal; write them as escapes too.
            escaped = static_cast<unsigned char>(text[++i]);
        }
        if (escaped < 0x110000) {
            out += "\\u00";
            out += kHex[escaped >> 4];
            out += kHex[escaped & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void WriteTable(const Report& report, std::ostream& stream) {
    Sink out(stream);
    const size_t count = report.columns.size();
    const size_t rows = report.RowCount();
    // A cell's width as the table shows it: controls become blanks, one column each.
    std::vector<size_t> width(count, 0);
    for (size_t c = 0; c < count; ++c) {
        width[c] = DisplayWidth(report.columns[c].name);
    }
    for (size_t r = 0; r < rows; ++r) {
        for (size_t c = 0; c < count; ++c) {
            width[c] = std::max(width[c], DisplayWidth(report.Cell(r, c)));
        }
    }
    auto line = [&](auto cellOf) {
        for (size_t c = 0; c < count; ++c) {
            std::string_view cell = cellOf(c);
            PutTableCell(cell, out);
            if (c + 1 < count) {
                for (size_t k = DisplayWidth(cell); k < width[c] + 2; ++k) {
                    out.Put(' ');
                }
            }
        }
        out.Put('\n');
    };
    if (count > 0) {
        line([&](size_t c) { return std::string_view(report.columns[c].name); });
        std::vector<std::string> rules(count);
        for (size_t c = 0; c < count; ++c) {
            rules[c].assign(std::max<size_t>(width[c], 1), '-');
        }
        line([&](size_t c) { return std::string_view(rules[c]); });
        for (size_t r = 0; r < rows; ++r) {
            line([&](size_t c) { return report.Cell(r, c); });
        }
    }
    out.Append("(" + std::to_string(rows) + (rows == 1 ? " row)" : " rows)") + "\n");
}

void WriteCsv(const Report& report, std::ostream& stream) {
    Sink out(stream);
    const size_t count = report.columns.size();
    auto record = [&](auto fieldOf) {
        for (size_t c = 0; c < count; ++c) {
            if (c) {
                out.Put(',');
            }
            PutCsvField(fieldOf(c), out);
        }
        out.Append("\r\n");
    };
    if (count == 0) {
        return;
    }
    record([&](size_t c) { return std::string_view(report.columns[c].name); });
    for (size_t r = 0, rows = report.RowCount(); r < rows; ++r) {
        // One empty field alone would be an empty line, which readers skip.
        if (count == 1 && report.Cell(r, 0).empty()) {
            out.Append("\"\"\r\n");
            continue;
        }
        record([&](size_t c) { return report.Cell(r, c); });
    }
}

void WriteTsv(const Report& report, std::ostream& stream) {
    Sink out(stream);
    const size_t count = report.columns.size();
    auto record = [&](auto fieldOf) {
        for (size_t c = 0; c < count; ++c) {
            if (c) {
                out.Put('\t');
            }
            PutTsvField(fieldOf(c), out);
        }
        out.Put('\n');
    };
    if (count == 0) {
        return;
    }
    record([&](size_t c) { return std::string_view(report.columns[c].name); });
    for (size_t r = 0, rows = report.RowCount(); r < rows; ++r) {
        record([&](size_t c) { return report.Cell(r, c); });
    }
}

void WriteJson(const Report& report, std::ostream& stream) {
    Sink out(stream);
    out.Append("{\n  \"columns\": [");
    for (size_t c = 0; c < report.columns.size(); ++c) {
        const ReportColumn& column = report.columns[c];
        out.Append(c ? ",\n    " : "\n    ");
        out.Append("{\"position\": " + std::to_string(column.position) +
                   ", \"name\": " + JsonString(column.name));
        if (column.hasInfo) {
            out.Append(", \"table\": " + JsonString(column.table) + ", \"column\": " +
                       JsonString(column.column) + ", \"dataType\": " + std::to_string(column.dataType));
        } else {
            out.Append(", \"table\": null, \"column\": null, \"dataType\": null");
        }
        out.Put('}');
    }
    out.Append(report.columns.empty() ? "],\n" : "\n  ],\n");
    out.Append("  \"rows\": [");
    const size_t rows = report.RowCount();
    for (size_t r = 0; r < rows; ++r) {
        out.Append(r ? ",\n    [" : "\n    [");
        for (size_t c = 0; c < report.columns.size(); ++c) {
            if (c) {
                out.Append(", ");
            }
            out.Append(JsonString(std::string(report.Cell(r, c))));
        }
        out.Put(']');
    }
    out.Append(rows == 0 ? "]\n}\n" : "\n  ]\n}\n");
}

void WriteReport(const Report& report, OutputFormat format, std::ostream& out, TextEncoding encoding) {
    if (encoding == TextEncoding::kUtf8 && format != OutputFormat::kJson) {
        // Written in the code page first: the separators are ASCII in every code page.
        std::ostringstream host;
        WriteReport(report, format, host, TextEncoding::kCodePage);
        if (format == OutputFormat::kCsv)
            out << "\xEF\xBB\xBF";  // so that a spreadsheet reads the file as UTF-8
        out << HostToUtf8(host.str());
        return;
    }
    switch (format) {
        case OutputFormat::kTable:
            WriteTable(report, out);
            break;
        case OutputFormat::kCsv:
            WriteCsv(report, out);
            break;
        case OutputFormat::kTsv:
            WriteTsv(report, out);
            break;
        case OutputFormat::kJson:
            WriteJson(report, out);
            break;
        case OutputFormat::kXlsx:  // a file, not a stream: WriteXlsx
            break;
    }
}

}  // namespace zevdt
