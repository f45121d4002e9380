// Texts and lists of texts as the dialogs use them.
#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "framework/bounded_copy.h"
#include "resources/resource.h"

#include <clocale>

namespace {

// Names and keys clash without regard to case: ASCII letters in any locale
// (the letters of other code pages: code_page_test).
TEST(CStringTest, CaseIsFoldedAsThePlatformFoldsIt) {
    EXPECT_EQ(CString("Q1").CompareNoCase("q1"), 0);
    EXPECT_LT(CString("a").CompareNoCase("B"), 0);
    EXPECT_GT(CString("b").CompareNoCase("A"), 0);
    // Ordering folds to lower case: "_" sorts before the letters, as it does
    // in the platform's own case-blind comparison.
    EXPECT_LT(CString("_x").CompareNoCase("Zx"), 0);
    EXPECT_GT(CString("abc").CompareNoCase(nullptr), 0);
#if !defined(_WIN32)
    // Bytes that are no character of the locale never fold alike.
    std::setlocale(LC_ALL, "C.UTF-8");
    EXPECT_NE(CString("\xC9T\xC9").CompareNoCase("\xE9t\xE9"), 0);
    EXPECT_EQ(CString("\xC9t\xC9").CompareNoCase("\xC9T\xC9"), 0);
    std::setlocale(LC_ALL, "C");
#endif
}

// A character the code page cannot hold arrives as a reference, one character
// for the user: a cut leaves it out whole, as it does a multibyte character.
TEST(CStringTest, ACutNeverEndsInsideACharacterReference) {
    char field[16];
    field[15] = '\0';
    const char* plzen = "Plze&#328;!";
    for (size_t limit : {5, 6, 7, 9})  // after "&", "&#", "&#3" and "&#328"
        EXPECT_EQ(fw::BoundedCopy(field, limit, plzen), 4u) << limit;
    EXPECT_STREQ(field, "Plze");
    EXPECT_EQ(fw::BoundedCopy(field, 10, plzen), 10u);  // whole, and then cut
    // Not references: texts that only look like their start stay as cut.
    EXPECT_EQ(fw::BoundedCopy(field, 5, "AT&T&#x41;"), 5u);
    EXPECT_EQ(fw::BoundedCopy(field, 5, "a &#12 b;"), 5u);
    EXPECT_EQ(fw::BoundedCopy(field, 4, "a &#;b"), 4u);
}

#if !defined(_WIN32)
// A host that never chose a locale gets the stand-in's UTF-8 as it is: a cut
// there keeps a UTF-8 character whole and counts any other byte as one.
TEST(CStringTest, TheCLocaleCutKeepsUtf8Whole) {
    char field[8];
    field[7] = '\0';
    EXPECT_EQ(fw::BoundedCopy(field, 6, "Krak\xC3\xB3w!"), 6u);  // "Krak" and o-acute
    EXPECT_EQ(fw::BoundedCopy(field, 5, "Krak\xC3\xB3w!"), 4u);  // not half of it
    EXPECT_STREQ(field, "Krak");
    EXPECT_EQ(fw::BoundedCopy(field, 5, "\xE6\x8A\xB9\xE8\x8C\xB6"), 3u);  // the first kanji only
    EXPECT_EQ(fw::BoundedCopy(field, 2,
                              "a\xE9\xB0"
                              "C"),
              2u);  // Latin-1 bytes that are no UTF-8: one each
}
#endif

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
    EXPECT_TRUE(s.LoadString(IDS_NULL_PARAMETER));
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
