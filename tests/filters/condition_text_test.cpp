// The condition text the builder writes, and that the library reads back.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "condition_parser.h"
#include "errors.h"
#include "filters/condition_text.h"

namespace {

using namespace condition_text;

CString Picked(std::initializer_list<const char*> values, const char* op, uint16_t type) {
    CStringList list;
    for (const char* v : values) list.AddTail(v);
    return PickedValueText(list, op, type);
}

std::vector<std::string> Ops(uint16_t type) {
    std::vector<std::string> out;
    for (const char* op : OperatorsFor(type)) out.push_back(op);
    return out;
}

TEST(ConditionText, LikeIsOfferedOnlyForCharacterColumns) {
    EXPECT_EQ(Ops(10), (std::vector<std::string>{"in", "not in", "like", "not like", "=", "<>", "<",
                                                 "<=", ">", ">="}));
    for (uint16_t type : {0, 11, 12, 65535})
        EXPECT_EQ(Ops(type), (std::vector<std::string>{"in", "not in", "=", "<>", "<", "<=", ">", ">="}));
}

TEST(ConditionText, PickedValuesAreQuotedOnCharacterTypesOnly) {
    EXPECT_EQ(Picked({"East", "O'Neil"}, "in", 10), "('East','O''Neil')");
    EXPECT_EQ(Picked({"K-7"}, "<", 11), "'K-7'");
    EXPECT_EQ(Picked({"1", "2", "3"}, "not in", 3), "(1,2,3)");
    EXPECT_EQ(Picked({"O'Neil"}, "=", 3), "O'Neil");
    EXPECT_EQ(Picked({"Ea%"}, "like", 10), "'Ea%'");  // no wildcard added
    // Brackets follow the operator whatever its case, also around one value.
    EXPECT_EQ(Picked({"East"}, "NOT IN", 10), "('East')");
    EXPECT_EQ(Picked({"East"}, "In", 10), "('East')");
    EXPECT_EQ(Picked({}, "in", 10), "");
}

TEST(ConditionText, UnquotedValuesThatWouldReadBackWronglyAreQuoted) {
    EXPECT_EQ(Picked({"1,5", "2)"}, "in", 3), "('1,5','2)')");
    EXPECT_EQ(Picked({"'7"}, "=", 3), "'''7'");
    EXPECT_EQ(Picked({" 7"}, "=", 3), "' 7'");
    EXPECT_EQ(Picked({""}, "=", 3), "''");
    EXPECT_EQ(Picked({"a\r\nb"}, "=", 3), "'a\r\nb'");
    EXPECT_EQ(Picked({"rock and"}, "=", 3), "'rock and'");
    EXPECT_EQ(Picked({"rock or"}, "=", 3), "'rock or'");
    // Safe as they stand: a comma outside a list, a word that merely ends in "or".
    EXPECT_EQ(Picked({"1,5"}, "=", 3), "1,5");
    EXPECT_EQ(Picked({"door", "O'Neil"}, "in", 3), "(door,O'Neil)");
}

TEST(ConditionText, AppendingJoinsLinesAndDropsTrailingWhiteSpace) {
    CString c = FormatCondition("REGION", "=", "East");
    EXPECT_EQ(c, "REGION = East");
    EXPECT_EQ(FormatCondition("", "", ""), "  ");
    EXPECT_EQ(AppendCondition("", 0, "SALES", c), "SALES.REGION = East");
    EXPECT_EQ(AppendCondition(" \r\n \t", 1, "SALES", c), "SALES.REGION = East");
    EXPECT_EQ(AppendCondition("L", 1, "SALES", c), "L OR \r\nSALES.REGION = East");
    EXPECT_EQ(AppendCondition("L  \r\n\r\n", 0, "SALES", c), "L AND \r\nSALES.REGION = East");
}

// What the builder writes, the library reads as the values chosen.
TEST(ConditionText, TheLibraryReadsWhatTheBuilderWrites) {
    const std::vector<std::string> keys = {"SALES.REGION", "SALES.UNITS"};
    CString text = AppendCondition("", 1, "SALES", FormatCondition("REGION", "=", "East"));
    text = AppendCondition(text, 1, "SALES",
                           FormatCondition("REGION", "in", Picked({"East", "O'Neil", "a,b)"}, "in", 10)));
    text = AppendCondition(text, 0, "SALES",
                           FormatCondition("UNITS", "not in", Picked({"1", "2,5", "'x", " y"}, "not in", 3)));
    text = AppendCondition(text, 0, "SALES", FormatCondition("UNITS", "<>", Picked({"rock and"}, "<>", 3)));
    text = AppendCondition(text, 1, "SALES", FormatCondition("REGION", "like", Picked({"E%"}, "like", 10)));

    zevdtapi::ConditionTree tree;
    ASSERT_NO_THROW(tree = zevdtapi::ParseCondition(text.str(), keys, "SALES.REGION")) << text.str();
    ASSERT_EQ(tree.anyOf.size(), 3u);
    ASSERT_EQ(tree.anyOf[0].size(), 1u);
    EXPECT_EQ(tree.anyOf[0][0].values, (std::vector<std::string>{"East"}));
    ASSERT_EQ(tree.anyOf[1].size(), 3u);
    EXPECT_EQ(tree.anyOf[1][0].op, zevdtapi::Operator::In);
    EXPECT_EQ(tree.anyOf[1][0].values, (std::vector<std::string>{"East", "O'Neil", "a,b)"}));
    EXPECT_EQ(tree.anyOf[1][1].column, 1u);
    EXPECT_EQ(tree.anyOf[1][1].op, zevdtapi::Operator::NotIn);
    EXPECT_EQ(tree.anyOf[1][1].values, (std::vector<std::string>{"1", "2,5", "'x", " y"}));
    EXPECT_EQ(tree.anyOf[1][2].values, (std::vector<std::string>{"rock and"}));
    EXPECT_EQ(tree.anyOf[2][0].op, zevdtapi::Operator::Like);
    EXPECT_EQ(tree.anyOf[2][0].values, (std::vector<std::string>{"E%"}));
}

}  // namespace
