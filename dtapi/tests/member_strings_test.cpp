#include "member_strings.h"

#include <gtest/gtest.h>

#include "errors.h"

namespace {

using zevdtapi::ParseMemberString;

TEST(MemberStrings, MarkersDecideWhetherTheMemberRestricts) {
    auto plain = ParseMemberString("Region=East\n", 0);
    EXPECT_EQ("Region", plain.dimension);
    EXPECT_EQ("East", plain.value);
    EXPECT_TRUE(plain.restricts);

    auto recursive = ParseMemberString("Region=East\nSYSDBV=\n", 0);
    EXPECT_FALSE(recursive.restricts);

    auto itself = ParseMemberString("Region=East\nSYSDBV=\n-1\n", 0);
    EXPECT_TRUE(itself.restricts);
    EXPECT_EQ("East", itself.value);

    auto keyed = ParseMemberString("Region=Eastern Europe\r\nSYSDBV=East\r\n", 0);
    EXPECT_EQ("East", keyed.value);
    EXPECT_TRUE(keyed.restricts);

    auto noNewline = ParseMemberString("Year = 2024", 0);
    EXPECT_EQ("Year", noNewline.dimension);
    EXPECT_EQ("2024", noNewline.value);
}

TEST(MemberStrings, MalformedStringsNameTheirPlace) {
    for (const char* bad : {"", "\n", "East", "=East", "Region=", "-1\nRegion=East"}) {
        try {
            ParseMemberString(bad, 2);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const zevdtapi::Failure& f) {
            EXPECT_EQ(zevdtapi::kMemberString, f.number());
            EXPECT_NE(std::string::npos, std::string(f.what()).find("Member string 3"));
        }
    }
}

}  // namespace
