// Texts and lists of texts as the dialogs use them.
#include <gtest/gtest.h>

#include "framework/afxwin.h"

namespace {

TEST(CStringTest, TrimCompareFindFormat) {
    CString s(" \t Sales.Region \r\n");
    s.Trim();
    EXPECT_EQ(s, "Sales.Region");
    EXPECT_EQ(s.CompareNoCase("SALES.region"), 0);
    EXPECT_LT(s.CompareNoCase("Sales.Regions"), 0);
    EXPECT_EQ(s.Find('.'), 5);
    EXPECT_EQ(s.Find("Region"), 6);
    EXPECT_EQ(s.Find("x"), -1);
    EXPECT_EQ(s.Left(5), "Sales");
    EXPECT_EQ(s.Mid(6), "Region");
    EXPECT_EQ(s.Right(3), "ion");
    EXPECT_EQ(s.Mid(40), "");
    CString f;
    f.Format("Failed to allocate [%d] bytes of memory.", 264);
    EXPECT_EQ(f, "Failed to allocate [264] bytes of memory.");
    CString r("a$*$b$*$c");
    EXPECT_EQ(r.Replace("$*$", "|"), 2);
    EXPECT_EQ(r, "a|b|c");
}

TEST(CStringTest, LoadingAnUnknownIdGivesTheEmptyText) {
    CString s("before");
    EXPECT_FALSE(s.LoadString(49999));
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(s.LoadString(50513));
    EXPECT_EQ(s, "Null Parameter");
}

TEST(CStringListTest, PositionsWalkInsertAndRemove) {
    CStringList list;
    list.AddTail("b");
    list.AddHead("a");
    POSITION c = list.AddTail("c");
    list.InsertBefore(c, "b2");
    list.InsertAfter(c, "d");
    std::vector<std::string> seen;
    for (POSITION p = list.GetHeadPosition(); p;) seen.push_back(list.GetNext(p).str());
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "b2", "c", "d"}));
    list.RemoveAt(list.Find("b2"));
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.Find("zz"), nullptr);
    EXPECT_EQ(list.GetAt(list.FindIndex(2)), "c");
    EXPECT_EQ(list.RemoveHead(), "a");
    EXPECT_EQ(list.RemoveTail(), "d");
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
}

}  // namespace
