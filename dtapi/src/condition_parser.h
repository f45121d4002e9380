// Reads the condition text of a column filter into a small expression tree:
// lines of "table.column operator value" joined by AND or OR (AND binds tighter).
// Values come out as plain texts that are bound, never pasted into SQL.
#ifndef ZEVDTAPI_CONDITION_PARSER_H
#define ZEVDTAPI_CONDITION_PARSER_H

#include <string>
#include <vector>

namespace zevdtapi {

enum class Operator { In, NotIn, Like, NotLike, Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

struct Comparison {
    size_t column = 0;  // index into the report's column keys
    Operator op = Operator::Equal;
    std::vector<std::string> values;  // one value, or the list of IN / NOT IN
};

// OR of AND groups. Empty when the text holds nothing but white space.
struct ConditionTree {
    std::vector<std::vector<Comparison>> anyOf;
};

// columnKeys are the report's "table.column" keys, matched without regard to
// case. A text that cannot be read throws a Failure (kCondition) whose message
// names owner (the column the text belongs to) and the line and character.
ConditionTree ParseCondition(const std::string& text, const std::vector<std::string>& columnKeys,
                             const std::string& owner);

const char* OperatorSql(Operator op);

}  // namespace zevdtapi

#endif
