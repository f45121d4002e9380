#include "condition_parser.h"

#include <algorithm>

#include "ascii_lower.h"
#include "errors.h"
#include "text_copy.h"

namespace zevdtapi {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsSpace(char c) {
    return IsBlank(c) || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

class Parser {
  public:
    Parser(const std::string& text, const std::vector<std::string>& keys, const std::string& owner)
        : text_(text), keys_(keys), owner_(owner) {
        order_.resize(keys.size());
        for (size_t i = 0; i < keys.size(); ++i) order_[i] = i;
        // The longest key first, so that T.AB is not read as T.A followed by B.
        std::stable_sort(order_.begin(), order_.end(),
                         [&](size_t a, size_t b) { return keys_[a].size() > keys_[b].size(); });
    }

    ConditionTree Parse() {
        ConditionTree tree;
        SkipSpace();
        if (AtEnd())
            return tree;
        tree.anyOf.emplace_back();
        for (;;) {
            tree.anyOf.back().push_back(ParseComparison());
            SkipSpace();
            if (AtEnd())
                break;
            if (Word("and")) {
            } else if (Word("or")) {
                tree.anyOf.emplace_back();
            } else {
                Error("expected AND or OR");
            }
            SkipSpace();
            if (AtEnd())
                Error("a condition must follow AND or OR");
        }
        return tree;
    }

  private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    void SkipSpace() {
        while (!AtEnd() && IsSpace(text_[pos_])) ++pos_;
    }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
    }

    [[noreturn]] void Error(const std::string& what) const {
        size_t line = 1, column = 1;
        for (size_t i = 0; i < pos_ && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        Fail(kCondition, "The filter of column " + owner_ + " cannot be read at line " +
                             std::to_string(line) + ", character " + std::to_string(column) + ": " + what +
                             ".");
    }

    bool MatchesAt(size_t at, const std::string& word) const {
        if (at + word.size() > text_.size())
            return false;
        for (size_t i = 0; i < word.size(); ++i) {
            if (AsciiLower(text_[at + i]) != AsciiLower(word[i]))
                return false;
        }
        return true;
    }

    // A column key beyond ASCII, as the column records compare it: letters
    // fold in UTF-8 (the folding keeps every letter's length).
    bool FoldedAt(size_t at, const std::string& key) const {
        if (at + key.size() > text_.size() ||
            std::all_of(key.begin(), key.end(), [](char c) { return (c & 0x80) == 0; }))
            return false;
        return EqualNoCase(text_.substr(at, key.size()), key);
    }

    // A keyword that stands alone: followed by white space, a bracket, a quote or the end.
    bool Word(const std::string& word) {
        if (!MatchesAt(pos_, word))
            return false;
        size_t after = pos_ + word.size();
        if (after < text_.size() && !IsSpace(text_[after]) && text_[after] != '(' && text_[after] != '\'') {
            return false;
        }
        pos_ = after;
        return true;
    }

    size_t ParseColumn() {
        for (size_t i : order_) {
            const std::string& key = keys_[i];
            if (key.empty() || !(MatchesAt(pos_, key) || FoldedAt(pos_, key)))
                continue;
            size_t after = pos_ + key.size();
            if (after < text_.size()) {
                char c = text_[after];
                if (!IsSpace(c) && c != '=' && c != '<' && c != '>')
                    continue;
            }
            pos_ = after;
            return i;
        }
        Error("expected a column of the report, written as table.column");
    }

    Operator ParseOperator() {
        size_t start = pos_;
        if (Word("not")) {
            SkipBlanks();
            if (Word("in"))
                return Operator::NotIn;
            if (Word("like"))
                return Operator::NotLike;
            pos_ = start;
            Error("expected in or like after not");
        }
        if (Word("in"))
            return Operator::In;
        if (Word("like"))
            return Operator::Like;
        static const struct {
            const char* text;
            Operator op;
        } symbols[] = {{"<>", Operator::NotEqual},     {"<=", Operator::LessEqual},
                       {">=", Operator::GreaterEqual}, {"<", Operator::Less},
                       {">", Operator::Greater},       {"=", Operator::Equal}};
        for (const auto& s : symbols) {
            if (MatchesAt(pos_, s.text)) {
                pos_ += std::char_traits<char>::length(s.text);
                return s.op;
            }
        }
        Error("expected an operator (in, not in, like, not like, =, <>, <, <=, >, >=)");
    }

    std::string ParseQuoted() {
        ++pos_;  // the opening quote
        std::string value;
        for (;;) {
            if (AtEnd())
                Error("a quoted value has no closing quote");
            char c = text_[pos_++];
            if (c == '\'') {
                if (!AtEnd() && text_[pos_] == '\'') {
                    value += '\'';
                    ++pos_;
                } else {
                    return value;
                }
            } else {
                value += c;
            }
        }
    }

    // A value typed without quotes runs to the end of its line. A trailing
    // " AND" or " OR" on that line joins it to the next condition.
    std::string ParseBare() {
        size_t start = pos_;
        size_t eol = start;
        while (eol < text_.size() && text_[eol] != '\r' && text_[eol] != '\n') ++eol;
        size_t end = eol;
        while (end > start && IsBlank(text_[end - 1])) --end;
        for (const char* joiner : {"and", "or"}) {
            size_t n = std::char_traits<char>::length(joiner);
            if (end - start > n && MatchesAt(end - n, joiner) && IsBlank(text_[end - n - 1])) {
                end -= n;
                break;
            }
        }
        pos_ = end;
        while (end > start && IsBlank(text_[end - 1])) --end;
        if (end == start)
            Error("expected a value");
        return text_.substr(start, end - start);
    }

    std::vector<std::string> ParseList() {
        std::vector<std::string> values;
        ++pos_;  // "("
        for (;;) {
            SkipSpace();
            if (AtEnd())
                Error("the list has no closing bracket");
            if (text_[pos_] == '\'') {
                values.push_back(ParseQuoted());
            } else {
                size_t start = pos_;
                while (!AtEnd() && text_[pos_] != ',' && text_[pos_] != ')' && text_[pos_] != '\r' &&
                       text_[pos_] != '\n') {
                    ++pos_;
                }
                std::string item = Trim(text_.substr(start, pos_ - start));
                if (item.empty())
                    Error("the list holds an empty value");
                values.push_back(item);
            }
            SkipSpace();
            if (AtEnd())
                Error("the list has no closing bracket");
            if (text_[pos_] == ')') {
                ++pos_;
                return values;
            }
            if (text_[pos_] != ',')
                Error("expected , or ) in the list");
            ++pos_;
        }
    }

    Comparison ParseComparison() {
        Comparison c;
        c.column = ParseColumn();
        SkipBlanks();
        c.op = ParseOperator();
        SkipBlanks();
        if (AtEnd() || text_[pos_] == '\r' || text_[pos_] == '\n')
            Error("expected a value");
        bool list = c.op == Operator::In || c.op == Operator::NotIn;
        if (list && text_[pos_] == '(') {
            c.values = ParseList();
        } else if (text_[pos_] == '\'') {
            c.values.push_back(ParseQuoted());
        } else if (list) {
            // A typed list without brackets: the values as typed, split at commas.
            std::string bare = ParseBare();
            size_t start = 0;
            for (;;) {
                size_t comma = bare.find(',', start);
                std::string item =
                    Trim(bare.substr(start, comma == std::string::npos ? comma : comma - start));
                if (item.empty())
                    Error("the list holds an empty value");
                c.values.push_back(item);
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
        } else {
            c.values.push_back(ParseBare());
        }
        return c;
    }

    const std::string& text_;
    const std::vector<std::string>& keys_;
    const std::string& owner_;
    std::vector<size_t> order_;
    size_t pos_ = 0;
};

}  // namespace

ConditionTree ParseCondition(const std::string& text, const std::vector<std::string>& columnKeys,
                             const std::string& owner) {
    return Parser(text, columnKeys, owner).Parse();
}

const char* OperatorSql(Operator op) {
    switch (op) {
        case Operator::In:
            return "IN";
        case Operator::NotIn:
            return "NOT IN";
        case Operator::Like:
            return "LIKE";
        case Operator::NotLike:
            return "NOT LIKE";
        case Operator::Equal:
            return "=";
        case Operator::NotEqual:
            return "<>";
        case Operator::Less:
            return "<";
        case Operator::LessEqual:
            return "<=";
        case Operator::Greater:
            return ">";
        case Operator::GreaterEqual:
            return ">=";
    }
    return "=";
}

}  // namespace zevdtapi
