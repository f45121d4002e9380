#include "condition_parser.h"

#include <gtest/gtest.h>

#include "errors.h"

namespace {

using zevdtapi::Comparison;
using zevdtapi::ConditionTree;
using zevdtapi::Operator;

const std::vector<std::string> kKeys = {"SALES.REGION", "SALES.REGION_CODE", "SALES.AMOUNT", "My Table.Col",
                                        "verk\u00e4ufe.gr\u00f6\u00dfe"};

ConditionTree Parse(const std::string& text) {
    return zevdtapi::ParseCondition(text, kKeys, "SALES.REGION");
}

std::string ErrorOf(const std::string& text) {
    try {
        Parse(text);
    } catch (const zevdtapi::Failure& f) {
        EXPECT_EQ(zevdtapi::kCondition, f.number());
        return f.what();
    }
    ADD_FAILURE() << "accepted: " << text;
    return std::string();
}

void ExpectComparison(const Comparison& c, size_t column, Operator op,
                      const std::vector<std::string>& values) {
    EXPECT_EQ(column, c.column);
    EXPECT_EQ(op, c.op);
    EXPECT_EQ(values, c.values);
}

TEST(ConditionParser, ReadsWhatTheBuilderWrites) {
    auto typed = Parse("SALES.REGION = East");
    ASSERT_EQ(1u, typed.anyOf.size());
    ExpectComparison(typed.anyOf[0][0], 0, Operator::Equal, {"East"});

    auto picked = Parse("SALES.REGION = East OR \r\nSALES.REGION in ('East','O''Neil')");
    ASSERT_EQ(2u, picked.anyOf.size());
    ExpectComparison(picked.anyOf[0][0], 0, Operator::Equal, {"East"});
    ExpectComparison(picked.anyOf[1][0], 0, Operator::In, {"East", "O'Neil"});

    auto numbers = Parse("SALES.AMOUNT not in (1,2,3)");
    ExpectComparison(numbers.anyOf[0][0], 2, Operator::NotIn, {"1", "2", "3"});

    auto quoted = Parse("SALES.REGION <> 'x' AND \r\nSALES.REGION < 'K-7'");
    ASSERT_EQ(1u, quoted.anyOf.size());
    ASSERT_EQ(2u, quoted.anyOf[0].size());
    ExpectComparison(quoted.anyOf[0][1], 0, Operator::Less, {"K-7"});
}

TEST(ConditionParser, EveryOperatorInEitherCase) {
    const std::pair<const char*, Operator> ops[] = {{"in", Operator::In},     {"NOT IN", Operator::NotIn},
                                                    {"like", Operator::Like}, {"Not Like", Operator::NotLike},
                                                    {"=", Operator::Equal},   {"<>", Operator::NotEqual},
                                                    {"<", Operator::Less},    {"<=", Operator::LessEqual},
                                                    {">", Operator::Greater}, {">=", Operator::GreaterEqual}};
    for (const auto& op : ops) {
        auto t = Parse(std::string("sales.amount ") + op.first + " 5");
        ASSERT_EQ(1u, t.anyOf.size()) << op.first;
        ExpectComparison(t.anyOf[0][0], 2, op.second, {"5"});
    }
}

TEST(ConditionParser, AndBindsTighterThanOr) {
    auto t =
        Parse("SALES.AMOUNT = 1 AND \r\nSALES.AMOUNT = 2 OR \r\nSALES.AMOUNT = 3 AND \r\nSALES.AMOUNT = 4");
    ASSERT_EQ(2u, t.anyOf.size());
    EXPECT_EQ(2u, t.anyOf[0].size());
    EXPECT_EQ(2u, t.anyOf[1].size());
    EXPECT_EQ(std::vector<std::string>{"4"}, t.anyOf[1][1].values);
}

TEST(ConditionParser, TypedValuesAreLiteralsAsTyped) {
    // Unquoted text is a value, never a column or SQL: apostrophes, quotes, semicolons stay as typed.
    ExpectComparison(Parse("SALES.REGION = O'Neil").anyOf[0][0], 0, Operator::Equal, {"O'Neil"});
    ExpectComparison(Parse("SALES.REGION = \"East\"; DROP TABLE x").anyOf[0][0], 0, Operator::Equal,
                     {"\"East\"; DROP TABLE x"});
    ExpectComparison(Parse("SALES.REGION = OR").anyOf[0][0], 0, Operator::Equal, {"OR"});
    ExpectComparison(Parse("SALES.REGION in East, West").anyOf[0][0], 0, Operator::In, {"East", "West"});
    ExpectComparison(Parse("SALES.REGION like %st").anyOf[0][0], 0, Operator::Like, {"%st"});
    ExpectComparison(Parse("SALES.REGION = ''").anyOf[0][0], 0, Operator::Equal, {""});
    // The longer key wins over its prefix; keys with blanks match whole.
    ExpectComparison(Parse("SALES.REGION_CODE = 7").anyOf[0][0], 1, Operator::Equal, {"7"});
    ExpectComparison(Parse("My Table.Col>=3").anyOf[0][0], 3, Operator::GreaterEqual, {"3"});
    // Column keys fold beyond ASCII too, as the column records' keys do.
    ExpectComparison(Parse("VERK\u00c4UFE.GR\u00d6\u00dfE = 3").anyOf[0][0], 4, Operator::Equal, {"3"});
    EXPECT_TRUE(Parse(" \r\n\t ").anyOf.empty());
}

TEST(ConditionParser, UnreadableTextNamesColumnAndPlace) {
    std::string e = ErrorOf("SALES.REGION = East OR \r\nEMPLOYEE.SALARY > 0");
    EXPECT_NE(std::string::npos, e.find("SALES.REGION")) << e;
    EXPECT_NE(std::string::npos, e.find("line 2, character 1")) << e;

    EXPECT_NE(std::string::npos, ErrorOf("SALES.REGION East").find("operator"));
    EXPECT_NE(std::string::npos, ErrorOf("SALES.REGION = 'East").find("closing quote"));
    EXPECT_NE(std::string::npos, ErrorOf("SALES.REGION = East OR").find("must follow"));
    EXPECT_NE(std::string::npos, ErrorOf("SALES.REGION =").find("value"));
    EXPECT_NE(std::string::npos, ErrorOf("SALES.REGION in ('a',,'b')").find("empty value"));
    EXPECT_NE(std::string::npos, ErrorOf("SALES.REGION in ('a'").find("closing bracket"));
    EXPECT_NE(std::string::npos, ErrorOf("SALES.REGION = 'a' 'b'").find("AND or OR"));
    EXPECT_NE(std::string::npos, ErrorOf("SALES.REGION = a\r\nSALES.REGION = b").find("AND or OR"));
    EXPECT_NE(std::string::npos, ErrorOf("SALES.REGIONX = 1").find("column"));
    EXPECT_NE(std::string::npos, ErrorOf("SALES.REGION not = 1").find("not"));
}

}  // namespace
