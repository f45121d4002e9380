// The framework's own declarations of the structs that travel with messages
// have the sizes the platform's headers give them (the backend checks those
// against the same numbers at compile time). Portable: no platform header.
#include "framework/win32/struct_sizes.h"

#include <gtest/gtest.h>

#include "framework/wnd.h"

#ifdef ZEVDT_CHECK_STRUCT_SIZES
TEST(StructSizes, MirroredStructsHaveThePlatformsSizes) {
    using namespace fw::layout;
    EXPECT_EQ(sizeof(NMHDR), kNmHdr);
    EXPECT_EQ(sizeof(LVITEMA), kLvItemA);
    EXPECT_EQ(sizeof(LVCOLUMNA), kLvColumnA);
    EXPECT_EQ(sizeof(NMLISTVIEW), kNmListView);
    EXPECT_EQ(sizeof(TVITEMA), kTvItemA);
    // The control reads a TVITEMEXA here when the mask asks for its extra fields.
    EXPECT_EQ(sizeof(TVINSERTSTRUCTA), kTvInsertStructA);
    EXPECT_EQ(sizeof(NMTREEVIEWA), kNmTreeViewA);
    EXPECT_EQ(sizeof(HELPINFO), kHelpInfo);
    EXPECT_EQ(sizeof(NMLVDISPINFOA), kNmLvDispInfoA);
    EXPECT_EQ(sizeof(NMLVFINDITEMA), kNmLvFindItemA);
    EXPECT_EQ(sizeof(NMLVODSTATECHANGE), kNmLvOdStateChange);
}
#endif
