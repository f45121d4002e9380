// The dialog templates and the wizard picture as the headless backend will read them: sizes,
// captions, fonts, and for each control its id, class, text and the style bits that decide
// how it behaves.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "framework/resfile/embedded.h"
#include "framework/resfile/resource_file.h"
#include "resources/resource.h"

namespace {

// Window styles, spelt out: this test runs where no platform header exists.
constexpr uint32_t kWsPopup = 0x80000000, kWsChild = 0x40000000, kWsVisible = 0x10000000,
                   kWsDisabled = 0x08000000, kWsCaption = 0x00C00000, kWsBorder = 0x00800000,
                   kWsVscroll = 0x00200000, kWsSysmenu = 0x00080000;
constexpr uint32_t kDsSetFont = 0x40, kDsModalFrame = 0x80;
constexpr uint32_t kEsMultiline = 0x4, kEsPassword = 0x20, kEsReadOnly = 0x800;
constexpr uint32_t kBsTypeMask = 0xF, kBsPush = 0, kBsDefPush = 1, kBsGroupBox = 7;
constexpr uint32_t kSsTypeMask = 0x1F, kSsCenter = 0x1, kSsBitmap = 0xE, kSsNoPrefix = 0x80;
constexpr uint32_t kWsHscroll = 0x00100000, kWsGroup = 0x00020000;
constexpr uint32_t kEsAutoHscroll = 0x80, kEsWantReturn = 0x1000;
constexpr uint32_t kBsAutoCheckBox = 3, kBsAutoRadio = 9;
constexpr uint32_t kLvsTypeMask = 0x3, kLvsReport = 0x1, kLvsList = 0x3, kLvsSingleSel = 0x4,
                   kLvsShowSelAlways = 0x8, kLvsSortAscending = 0x10, kLvsOwnerData = 0x1000,
                   kLvsNoSortHeader = 0x8000;
constexpr uint32_t kTvsPicked = 0x1 | 0x2 | 0x4 | 0x20;  // buttons, lines, lines at root, sel.
constexpr uint32_t kLbsNotify = 0x1, kLbsSort = 0x2, kLbsMultiple = 0x8, kLbsExtendedSel = 0x800;
constexpr uint32_t kCbsTypeMask = 0x3, kCbsDropDownList = 0x3, kCbsSort = 0x100;

const fw::ResourceFile& Resources() {
    static const fw::ResourceFile file = [] {
        fw::ResourceFile f;
        fw::ResourceBlob blob = fw::SystemResources();
        std::string error;
        EXPECT_TRUE(f.Parse(blob.data, blob.size, &error)) << error;
        return f;
    }();
    return file;
}

const fw::ControlTemplate* Control(const fw::DialogTemplate& dlg, int id) {
    for (const auto& c : dlg.controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

struct Expect {
    int id;
    const char* cls;
    const char* text;
    uint32_t typeMask;  // low bits that name the control's kind
    uint32_t type;
    uint32_t required;                     // further bits that must be set
    int x = -1, y = -1, cx = -1, cy = -1;  // checked where the layout is prescribed
};

// A modal dialog's frame, a wizard page's (a disabled child with a caption, never a popup),
// or one the test checks itself.
enum class Frame { Modal, Page, Own };

// Checks the dialog's frame and that it holds exactly the expected controls, each visible,
// inside the dialog, and with a unique id (65535 for unnamed labels may repeat).
void CheckDialog(unsigned id, Frame frame, int cx, int cy, const char* caption,
                 const std::vector<Expect>& expected) {
    SCOPED_TRACE("dialog " + std::to_string(id));
    const fw::DialogTemplate* dlg = Resources().FindDialog(id);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->cx, cx);
    EXPECT_EQ(dlg->cy, cy);
    EXPECT_EQ(dlg->caption, caption);
    EXPECT_EQ(dlg->fontFace, "MS Sans Serif");
    EXPECT_EQ(dlg->pointSize, 8);
    EXPECT_TRUE(dlg->style & kDsSetFont);
    EXPECT_FALSE(dlg->style & kWsVisible) << "the code decides when a window shows";
    const uint32_t modal = kWsPopup | kWsCaption | kWsSysmenu | kDsModalFrame;
    const uint32_t page = kWsChild | kWsDisabled | kWsCaption;
    if (frame == Frame::Modal) {
        EXPECT_EQ(dlg->style & modal, modal);
    } else if (frame == Frame::Page) {
        EXPECT_EQ(dlg->style & (page | kWsPopup), page);
    }

    ASSERT_EQ(dlg->controls.size(), expected.size());
    std::set<int> ids;
    for (size_t i = 0; i < expected.size(); ++i) {
        const Expect& e = expected[i];
        SCOPED_TRACE("control " + std::to_string(e.id) + " #" + std::to_string(i));
        const fw::ControlTemplate& c = dlg->controls[i];
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(c.windowClass, e.cls);
        EXPECT_EQ(c.text, e.text);
        EXPECT_EQ(c.style & e.typeMask, e.type);
        EXPECT_EQ(c.style & e.required, e.required);
        EXPECT_TRUE(c.style & kWsChild);
        EXPECT_TRUE(c.style & kWsVisible);
        EXPECT_GE(c.x, 0);
        EXPECT_GE(c.y, 0);
        EXPECT_GT(c.cx, 0);
        EXPECT_GT(c.cy, 0);
        EXPECT_LE(c.x + c.cx, dlg->cx);
        EXPECT_LE(c.y + c.cy, dlg->cy);
        if (e.x >= 0) {
            EXPECT_EQ(c.x, e.x);
            EXPECT_EQ(c.y, e.y);
            EXPECT_EQ(c.cx, e.cx);
            EXPECT_EQ(c.cy, e.cy);
        }
        if (c.id != IDC_STATIC) {
            EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id";
        }
    }
}

constexpr uint32_t kAny = 0;

// Control ids are written here as numbers, unlike everywhere else in the tests: UI scripts
// and the transcript name controls by these values, so this is where they are held fixed
// against a change of resource.h.

TEST(DialogTemplates, Login) {
    CheckDialog(IDD_LOGIN, Frame::Modal, 209, 149, "Drill-Through Login",
                {{1000, "Static", "Integration Server Name:", kAny, 0, 0},
                 {1001, "Edit", "", kEsReadOnly | kEsPassword, 0, 0},
                 {1009, "Button", "Data Source Information", kBsTypeMask, kBsGroupBox, 0},
                 {1010, "Static", "Data Source Name:", kAny, 0, 0},
                 {1002, "Edit", "", kEsPassword, 0, kEsReadOnly},
                 {1011, "Static", "User:", kAny, 0, 0},
                 {1014, "Edit", "", kEsReadOnly | kEsPassword, 0, 0},
                 {1012, "Static", "Password:", kAny, 0, 0},
                 {1015, "Edit", "", kEsReadOnly, 0, kEsPassword},
                 {1, "Button", "&OK", kBsTypeMask, kBsDefPush, 0},
                 {2, "Button", "&Cancel", kBsTypeMask, kBsPush, 0},
                 {1065, "Button", "&Help", kBsTypeMask, kBsPush, 0}});
}

TEST(DialogTemplates, ReportSelection) {
    CheckDialog(IDD_REPORTS, Frame::Own, 239, 182, "Select Drill-Through Report",
                {{IDC_STATIC, "Static", "Available Reports", kAny, 0, 0},
                 {1040, "SysListView32", "", kLvsTypeMask, kLvsList, kLvsSingleSel},
                 {1043, "Button", "&Execute", kBsTypeMask, kBsDefPush, 0},
                 {1044, "Button", "C&ustomize ...", kBsTypeMask, kBsPush, 0},
                 {2, "Button", "&Cancel", kBsTypeMask, kBsPush, 0},
                 {9, "Button", "&Help", kBsTypeMask, kBsPush, 0}});
    const fw::DialogTemplate* dlg = Resources().FindDialog(IDD_REPORTS);
    ASSERT_NE(dlg, nullptr);
    // Customize starts enabled: the dialog only disables it for a report that cannot be changed.
    EXPECT_FALSE(Control(*dlg, 1044)->style & kWsDisabled);
    EXPECT_EQ(dlg->style & (kWsPopup | kWsCaption | kDsModalFrame), kWsPopup | kWsCaption | kDsModalFrame);
}

TEST(DialogTemplates, WaitWindow) {
    CheckDialog(IDD_WAIT, Frame::Own, 186, 95, "",
                {{1072, "Static", "", kSsTypeMask, kSsCenter, kSsNoPrefix},
                 {1071, "msctls_progress32", "", kAny, 0, 0},
                 {2, "Button", "Cancel", kBsTypeMask, kBsPush, 0}});
    const fw::DialogTemplate* dlg = Resources().FindDialog(IDD_WAIT);
    ASSERT_NE(dlg, nullptr);
    // A popup with a title bar; the title text is set when the window opens.
    EXPECT_TRUE(dlg->style & kWsPopup);
    EXPECT_EQ(dlg->style & kWsCaption, kWsCaption);
    EXPECT_FALSE(dlg->style & kWsChild);
}

TEST(DialogTemplates, WizardInfoPage) {
    CheckDialog(IDD_INFO_PAGE, Frame::Page, 345, 183, "Drill-Through Wizard",
                {{1045, "Edit", "", kAny, 0, kEsMultiline | kEsReadOnly | kWsBorder, 150, 5, 190, 178},
                 {1062, "Static", "", kAny, 0, 0, 5, 5, 137, 172}});
    const fw::DialogTemplate* dlg = Resources().FindDialog(IDD_INFO_PAGE);
    ASSERT_NE(dlg, nullptr);
    // Multi-line, read-only, bordered and nothing that scrolls: the instructions fit.
    EXPECT_EQ(Control(*dlg, 1045)->style & (kWsVscroll | 0x0040u /* ES_AUTOVSCROLL */), 0u);
    const fw::ControlTemplate* picture = Control(*dlg, 1062);
    // The page turns the picture into a bitmap control by clearing 0x000B and setting SS_BITMAP;
    // it shows the picture only if that changes the style.
    uint32_t switched = (picture->style & ~0x000Bu) | kSsBitmap;
    EXPECT_NE(switched, picture->style);
    EXPECT_NE(picture->style & kSsTypeMask, kSsBitmap);
}

TEST(DialogTemplates, ColumnSelectionPage) {
    const uint32_t listKind = kLbsSort | kLbsMultiple | kLbsExtendedSel | kLbsNotify;
    CheckDialog(IDD_SELECT_ATTR, Frame::Page, 336, 190, "Select Columns and Display Order",
                {{IDC_STATIC, "Static", "Report Name", kAny, 0, 0, 6, 1, 114, 9},
                 {1047, "Edit", "", kAny, 0, kEsReadOnly | kWsBorder, 6, 12, 275, 12},
                 {1014, "Static", "Available Columns", kAny, 0, 0, 6, 28, 104, 10},
                 {1007, "SysTreeView32", "", kAny, 0, kTvsPicked, 6, 40, 104, 145},
                 {1010, "Button", ">", kBsTypeMask, kBsPush, 0, 120, 62, 19, 18},
                 {1011, "Button", "<", kBsTypeMask, kBsPush, 0, 120, 86, 19, 18},
                 {1009, "Button", ">>", kBsTypeMask, kBsPush, 0, 120, 111, 19, 17},
                 {1012, "Button", "<<", kBsTypeMask, kBsPush, 0, 120, 136, 19, 18},
                 {1016, "Static", "Selected Columns", kAny, 0, 0, 150, 28, 111, 10},
                 {1008, "ListBox", "", listKind, kLbsExtendedSel | kLbsNotify, kWsVscroll | kWsHscroll, 150,
                  40, 131, 145},
                 {1013, "Button", "Move &Up", kBsTypeMask, kBsPush, 0, 288, 86, 43, 18},
                 {1015, "Button", "Move &Down", kBsTypeMask, kBsPush, 0, 288, 111, 43, 18}});
}

TEST(DialogTemplates, SortOrderPage) {
    const uint32_t lists = kLvsTypeMask | kLvsSingleSel;
    CheckDialog(
        IDD_ORDER_LIST, Frame::Page, 347, 189, "Select Data Sort Order",
        {{IDC_STATIC, "Static", "Report Name", kAny, 0, 0, 7, 2, 122, 10},
         {1058, "Edit", "", kAny, 0, kEsReadOnly | kWsBorder, 7, 12, 285, 12},
         {1050, "SysListView32", "", lists, kLvsReport, kLvsShowSelAlways | kWsBorder, 7, 30, 112, 155},
         {1052, "Button", ">", kBsTypeMask, kBsPush, 0, 129, 67, 19, 18},
         {1053, "Button", "<", kBsTypeMask, kBsPush, 0, 129, 94, 19, 18},
         {1009, "Button", ">>", kBsTypeMask, kBsPush, 0, 129, 118, 19, 18},
         {1054, "Button", "<<", kBsTypeMask, kBsPush, 0, 129, 145, 19, 18},
         {1051, "SysListView32", "", lists, kLvsReport, kLvsShowSelAlways | kWsBorder, 157, 30, 135, 155},
         {1055, "Button", "Move &Up", kBsTypeMask, kBsPush, 0, 300, 94, 42, 18},
         {1056, "Button", "Move &Down", kBsTypeMask, kBsPush, 0, 300, 118, 42, 18},
         {1057, "Button", "&Order By...", kBsTypeMask, kBsPush, 0, 300, 145, 42, 18}});
}

TEST(DialogTemplates, DataFiltersPage) {
    const uint32_t combo = kCbsTypeMask | kCbsSort;
    CheckDialog(
        IDD_FILTER, Frame::Page, 356, 202, "Select Data Filters",
        {{1027, "SysListView32", "", kLvsTypeMask, kLvsReport, kLvsSingleSel | kLvsNoSortHeader | kWsBorder,
          7, 5, 260, 93},
         {1024, "Button", "&Add condition...", kBsTypeMask, kBsPush, 0, 283, 5, 71, 13},
         {1025, "Button", "&Clear", kBsTypeMask, kBsPush, 0, 283, 24, 71, 13},
         {1026, "Button", "C&lear All", kBsTypeMask, kBsPush, 0, 283, 44, 71, 13},
         {IDC_STATIC, "Static", "Filter", kAny, 0, 0, 7, 99, 260, 8},
         {1066, "ComboBox", "", combo, kCbsDropDownList, kWsVscroll, 7, 107, 260, 88},
         {IDC_STATIC, "Static", "Description", kAny, 0, 0, 7, 120, 260, 8},
         {1067, "Edit", "", kEsReadOnly, 0, kEsMultiline | kEsWantReturn | kWsVscroll | kWsBorder, 7, 129,
          260, 22},
         {IDC_STATIC, "Static", "Condition", kAny, 0, 0, 7, 152, 260, 8},
         {1022, "Edit", "", kAny, 0, kEsMultiline | kEsReadOnly | kWsVscroll | kWsBorder, 7, 163, 260, 31},
         {1068, "Button", "Add new &filter", kBsTypeMask, kBsPush, 0, 283, 99, 71, 13},
         {1069, "Button", "&Delete", kBsTypeMask, kBsPush, 0, 283, 115, 71, 13},
         {1070, "Button", "&Rename", kBsTypeMask, kBsPush, 0, 283, 131, 71, 13},
         {1071, "Button", "&Save Filters", kBsTypeMask, kBsPush, 0, 283, 147, 71, 13}});
}

TEST(DialogTemplates, ColumnFilterBuilderPage) {
    const uint32_t combo = kCbsTypeMask | kCbsSort;
    CheckDialog(IDD_FILTERS_PAGE, Frame::Page, 297, 157, "Filters",
                {{IDC_STATIC, "Static", "Column:", kAny, 0, 0},
                 {1028, "ComboBox", "", combo, kCbsDropDownList | kCbsSort, 0},
                 {IDC_STATIC, "Static", "Operator:", kAny, 0, 0},
                 {1029, "ComboBox", "", combo, kCbsDropDownList, 0},
                 {IDC_STATIC, "Static", "Condition:", kAny, 0, 0},
                 {1030, "Edit", "", kEsMultiline, 0, kEsAutoHscroll},
                 {1031, "Button", "...", kBsTypeMask, kBsPush, 0},
                 {1010, "Button", "&Add", kBsTypeMask, kBsPush, 0},
                 {1037, "Button", "Add Type", kBsTypeMask, kBsGroupBox, 0},
                 {1033, "Button", "And", kBsTypeMask, kBsAutoRadio, kWsGroup},
                 {1034, "Button", "Or", kBsTypeMask | kWsGroup, kBsAutoRadio, 0},
                 // The label after the radio buttons closes their group.
                 {IDC_STATIC, "Static", "Filters:", kAny, 0, kWsGroup},
                 {1022, "Edit", "", kEsReadOnly, 0, kEsMultiline | kEsWantReturn | kWsVscroll}});
}

TEST(DialogTemplates, ValueChoiceDialogs) {
    CheckDialog(IDD_MEMBER_VALUE_SELECT, Frame::Modal, 317, 226, "Dialog",
                {{1, "Button", "&OK", kBsTypeMask, kBsDefPush, 0},
                 {2, "Button", "&Cancel", kBsTypeMask, kBsPush, 0},
                 // Several rows may be chosen unless the dialog itself adds LVS_SINGLESEL. The list
                 // holds no rows (the dialog sorts the values and hands out their texts), and a
                 // sorted owner-data list is no list at all.
                 {1036, "SysListView32", "", kLvsTypeMask | kLvsSingleSel | kLvsSortAscending, kLvsReport,
                  kLvsOwnerData | kLvsShowSelAlways | kWsBorder},
                 {1064, "Button", "&Help", kBsTypeMask, kBsPush, 0}});

    CheckDialog(IDD_PICK_STRING_ITEM, Frame::Modal, 206, 154, "Dialog",
                {{1, "Button", "OK", kBsTypeMask, kBsDefPush, 0},
                 {2, "Button", "Cancel", kBsTypeMask, kBsPush, 0},
                 {1063, "SysListView32", "", kLvsTypeMask, kLvsReport, kLvsSingleSel | kWsBorder},
                 {9, "Button", "&Help", kBsTypeMask, kBsPush, 0}});
    EXPECT_TRUE(Resources().FindDialog(IDD_PICK_STRING_ITEM)->extended);
}

TEST(DialogTemplates, FilterName) {
    CheckDialog(IDD_FILTER_NAME, Frame::Modal, 263, 76, "Filter Name",
                {{1, "Button", "OK", kBsTypeMask, kBsDefPush, 0},
                 {2, "Button", "Cancel", kBsTypeMask, kBsPush, 0},
                 {IDC_STATIC, "Static", "Name", kAny, 0, 0},
                 {1069, "Edit", "", kEsMultiline, 0, kEsAutoHscroll},
                 {1070, "Button", "Copy definition of current filter", kBsTypeMask, kBsAutoCheckBox, 0}});
}

TEST(DialogTemplates, EveryTemplateIsThere) {
    EXPECT_EQ(Resources().DialogCount(), 11u);
}

uint32_t Le32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Le16(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(WizardBitmap, IsAnUncompressed24BitPictureOfTheStatedSize) {
    const std::vector<unsigned char>* dib = Resources().FindBitmap(IDB_WIZARD);
    ASSERT_NE(dib, nullptr);
    ASSERT_GE(dib->size(), 40u);
    EXPECT_EQ(Le32(*dib, 0), 40u);                        // BITMAPINFOHEADER, no file header
    EXPECT_EQ(Le32(*dib, 4), 207u);                       // width
    EXPECT_EQ(static_cast<int32_t>(Le32(*dib, 8)), 284);  // height, bottom-up
    EXPECT_EQ(Le16(*dib, 12), 1u);                        // planes
    EXPECT_EQ(Le16(*dib, 14), 24u);                       // bits per pixel
    EXPECT_EQ(Le32(*dib, 16), 0u);                        // BI_RGB
    const size_t stride = (207 * 3 + 3) & ~3u;
    EXPECT_EQ(dib->size(), 40 + stride * 284);
    // A real picture, not a blank: the pixels are not all one colour.
    std::set<uint32_t> colours;
    for (size_t p = 40; p + 3 <= dib->size() && colours.size() < 50; p += 3 * 97)
        colours.insert((*dib)[p] | ((*dib)[p + 1] << 8) | ((*dib)[p + 2] << 16));
    EXPECT_GE(colours.size(), 20u);
}

}  // namespace
