#include "condition_text.h"

#include <cstring>

namespace condition_text {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool EndsWithJoiningWord(const std::string& v, const char* word) {
    size_t n = std::strlen(word);
    if (v.size() <= n || (v[v.size() - n - 1] != ' ' && v[v.size() - n - 1] != '\t'))
        return false;
    return CString(v.substr(v.size() - n).c_str()).CompareNoCase(word) == 0;
}

// Whether a value written without quotes would be read back as something
// else: the reader trims it, ends it at a line break, takes a leading quote
// as the start of a quoted value, ends a list item at "," or ")", and takes a
// trailing " AND" / " OR" for the joining word.
bool NeedsQuotes(const std::string& v, bool inList) {
    if (v.empty() || v.front() == '\'' || IsSpace(v.front()) || IsSpace(v.back()))
        return true;
    if (v.find_first_of("\r\n") != std::string::npos)
        return true;
    if (inList)
        return v.find_first_of(",)") != std::string::npos;
    return EndsWithJoiningWord(v, "and") || EndsWithJoiningWord(v, "or");
}

}  // namespace

std::vector<const char*> OperatorsFor(uint16_t dataType) {
    std::vector<const char*> ops = {"in", "not in"};
    if (dataType == kCharacterType) {
        ops.push_back("like");
        ops.push_back("not like");
    }
    for (const char* op : {"=", "<>", "<", "<=", ">", ">="}) ops.push_back(op);
    return ops;
}

bool IsListOperator(const char* op) {
    CString text(op);
    return text.CompareNoCase("IN") == 0 || text.CompareNoCase("NOT IN") == 0;
}

CString Quote(const char* value) {
    CString quoted('\'');
    for (const char* p = value ? value : ""; *p; ++p) {
        quoted += *p;
        if (*p == '\'')
            quoted += '\'';
    }
    quoted += '\'';
    return quoted;
}

CString PickedValueText(const CStringList& values, const char* op, uint16_t dataType) {
    bool list = IsListOperator(op);
    bool quoted = dataType == kCharacterType || dataType == kQuotedType;
    CString text;
    for (POSITION pos = values.GetHeadPosition(); pos;) {
        const CString& value = values.GetNext(pos);
        if (!text.IsEmpty())
            text += ',';
        else if (list)
            text += '(';
        if (quoted || NeedsQuotes(value.str(), list))
            text += Quote(value);
        else
            text += value;
    }
    if (list && !text.IsEmpty())
        text += ')';
    return text;
}

CString FormatCondition(const char* column, const char* op, const char* value) {
    CString condition;
    condition.Format("%s %s %s", column ? column : "", op ? op : "", value ? value : "");
    return condition;
}

CString AppendCondition(const CString& filters, int addType, const char* table, const CString& condition) {
    CString text(filters);
    text.TrimRight();
    CString piece;
    if (!text.IsEmpty()) {
        piece = addType == 0 ? " AND" : " OR";
        piece += " \r\n";
    }
    piece += table ? table : "";
    piece += '.';
    piece += condition;
    return text + piece;
}

}  // namespace condition_text
