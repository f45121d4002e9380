#include "readers.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace zevdt_test {
namespace {

// The byte an escape's letter stands for, from pairs of a letter and its
// byte; -1 for a letter that is no escape.
int Unescaped(const std::string& pairs, char letter) {
    for (size_t k = 0; k + 1 < pairs.size(); k += 2) {
        if (pairs[k] == letter) {
            return static_cast<unsigned char>(pairs[k + 1]);
        }
    }
    return -1;
}

}  // namespace

Records ReadCsv(const std::string& text) {
    Records records;
    std::vector<std::string> record;
    std::string field;
    size_t i = 0;
    auto fail = [&](const char* what) {
        throw std::runtime_error(std::string("CSV: ") + what + " at byte " + std::to_string(i));
    };
    while (i < text.size()) {
        if (text[i] == '"') {
            ++i;
            while (true) {
                if (i >= text.size()) {
                    fail("unterminated quoted field");
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            if (i < text.size() && text[i] != ',' && text[i] != '\r') {
                fail("text after a closing quote");
            }
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != '\r') {
                if (text[i] == '"' || text[i] == '\n') {
                    fail("quote or line feed in an unquoted field");
                }
                field += text[i++];
            }
        }
        if (i >= text.size()) {
            fail("missing CRLF after the last record");
        }
        if (text[i] == ',') {
            record.push_back(field);
            field.clear();
            ++i;
            continue;
        }
        if (i + 1 >= text.size() || text[i + 1] != '\n') {
            fail("CR without LF");
        }
        record.push_back(field);
        field.clear();
        records.push_back(record);
        record.clear();
        i += 2;
    }
    return records;
}

Records ReadTsv(const std::string& text) {
    Records records;
    std::vector<std::string> record;
    std::string field;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\') {
            if (++i >= text.size()) {
                throw std::runtime_error("TSV: lone backslash at the end");
            }
            const int byte = Unescaped("t\tr\rn\n\\\\", text[i]);
            if (byte < 0) {
                throw std::runtime_error("TSV: unknown escape at byte " + std::to_string(i));
            }
            field += static_cast<char>(byte);
        } else if (c == '\t') {
            record.push_back(field);
            field.clear();
        } else if (c == '\n') {
            record.push_back(field);
            field.clear();
            records.push_back(record);
            record.clear();
        } else if (c == '\r') {
            throw std::runtime_error("TSV: raw CR at byte " + std::to_string(i));
        } else {
            field += c;
        }
    }
    if (!field.empty() || !record.empty()) {
        throw std::runtime_error("TSV: missing line feed after the last record");
    }
    return records;
}

const Json& Json::operator[](const std::string& key) const {
    auto found = members.find(key);
    if (kind != kObject || found == members.end()) {
        throw std::runtime_error("JSON: no member \"" + key + "\"");
    }
    return found->second;
}

namespace {

class JsonParser {
  public:
    explicit JsonParser(const std::string& text) : s_(text) {}

    Json Document() {
        Json value = Value();
        Blanks();
        if (i_ != s_.size()) {
            Fail("text after the value");
        }
        return value;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) {
        throw std::runtime_error("JSON: " + what + " at byte " + std::to_string(i_));
    }
    void Blanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) {
            ++i_;
        }
    }
    void Expect(char c) {
        Blanks();
        if (i_ >= s_.size() || s_[i_] != c) {
            Fail(std::string("expected '") + c + "'");
        }
        ++i_;
    }
    // Past c, if it comes after the blanks.
    bool Skip(char c) {
        Blanks();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    // An object's members or an array's items, each read by item, from the
    // opening character to the closing one.
    template <typename Item>
    void Sequence(char close, Item item) {
        ++i_;
        if (Skip(close)) {
            return;
        }
        do {
            item();
        } while (Skip(','));
        Expect(close);
    }
    bool Literal(const char* word) {
        std::string w(word);
        if (s_.compare(i_, w.size(), w) == 0) {
            i_ += w.size();
            return true;
        }
        return false;
    }
    Json Value() {
        Blanks();
        if (i_ >= s_.size()) {
            Fail("value expected");
        }
        Json v;
        char c = s_[i_];
        if (c == '{') {
            v.kind = Json::kObject;
            Sequence('}', [&] {
                Blanks();
                std::string key = String();
                Expect(':');
                if (!v.members.emplace(key, Value()).second) {
                    Fail("duplicate member \"" + key + "\"");
                }
            });
            return v;
        }
        if (c == '[') {
            v.kind = Json::kArray;
            Sequence(']', [&] { v.items.push_back(Value()); });
            return v;
        }
        if (c == '"') {
            v.kind = Json::kString;
            v.text = String();
            return v;
        }
        if (Literal("null")) {
            return v;
        }
        if (Literal("true") || Literal("false")) {
            v.kind = Json::kBool;
            v.boolean = s_[i_ - 1] == 'e' && s_[i_ - 2] == 'u';
            return v;
        }
        size_t start = i_;
        if (s_[i_] == '-') {
            ++i_;
        }
        while (i_ < s_.size() && std::string("0123456789.eE+-").find(s_[i_]) != std::string::npos) {
            ++i_;
        }
        if (i_ == start) {
            Fail("unexpected character");
        }
        v.kind = Json::kNumber;
        v.number = std::strtod(s_.substr(start, i_ - start).c_str(), nullptr);
        return v;
    }
    unsigned Hex4() {
        if (i_ + 4 > s_.size()) {
            Fail("short \\u escape");
        }
        const std::string digits = s_.substr(i_, 4);
        for (char h : digits) {
            if (!std::isxdigit(static_cast<unsigned char>(h))) {
                Fail("bad hex digit");
            }
        }
        i_ += 4;
        return static_cast<unsigned>(std::stoul(digits, nullptr, 16));
    }
    // A code point in UTF-8: the lead byte, then six bits in each byte after it.
    static void Utf8(unsigned cp, std::string* out) {
        static const unsigned kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
        const int more = cp < 0x80 ? 0 : cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
        *out += static_cast<char>(kLead[more] | (cp >> (6 * more)));
        for (int k = more - 1; k >= 0; --k) {
            *out += static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F));
        }
    }
    std::string String() {
        if (i_ >= s_.size() || s_[i_] != '"') {
            Fail("string expected");
        }
        ++i_;
        std::string out;
        while (true) {
            if (i_ >= s_.size()) {
                Fail("unterminated string");
            }
            unsigned char c = static_cast<unsigned char>(s_[i_]);
            if (c == '"') {
                ++i_;
                return out;
            }
            if (c < 0x20) {
                Fail("raw control character in a string");
            }
            if (c >= 0x80) {
                // Well-formed UTF-8 only: a lead byte and its continuation bytes.
                size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
                if (length == 0 || c > 0xF4 || i_ + length > s_.size()) {
                    Fail("invalid UTF-8");
                }
                for (size_t k = 1; k < length; ++k) {
                    if ((static_cast<unsigned char>(s_[i_ + k]) & 0xC0) != 0x80) {
                        Fail("invalid UTF-8");
                    }
                }
                out.append(s_, i_, length);
                i_ += length;
                continue;
            }
            ++i_;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (i_ >= s_.size()) {
                Fail("unterminated escape");
            }
            const char e = s_[i_++];
            const int byte = Unescaped("\"\"\\\\//b\bf\fn\nr\rt\t", e);
            if (byte >= 0) {
                out += static_cast<char>(byte);
                continue;
            }
            if (e != 'u') {
                Fail("unknown escape");
            }
            unsigned cp = Hex4();
            if (cp >= 0xD800 && cp < 0xDC00) {
                if (!Literal("\\u")) {
                    Fail("lone high surrogate");
                }
                unsigned low = Hex4();
                if (low < 0xDC00 || low > 0xDFFF) {
                    Fail("bad low surrogate");
                }
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                Fail("lone low surrogate");
            }
            Utf8(cp, &out);
        }
    }

    const std::string& s_;
    size_t i_ = 0;
};

}  // namespace

Json ReadJson(const std::string& text) {
    return JsonParser(text).Document();
}

}  // namespace zevdt_test
