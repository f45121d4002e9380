// Every text of the string table, written out independently of the resource script, against
// what the compiled resources give back.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/framework_res.h"
#include "framework/resfile/embedded.h"
#include "framework/resfile/resource_file.h"

namespace {

fw::ResourceFile Load(fw::ResourceBlob blob) {
    fw::ResourceFile file;
    std::string error;
    EXPECT_TRUE(file.Parse(blob.data, blob.size, &error)) << error;
    return file;
}

const std::vector<std::pair<unsigned, std::string>>& ExpectedTexts() {
    static const std::vector<std::pair<unsigned, std::string>> texts = {
        {15622, "\\common\\docs\\en\\vantrel\\ss_user\\idh_set_filter_on_column_dialog_box.html"},
        {15623, "\\common\\docs\\en\\vantrel\\ss_user\\idh_drill_through_login_dialog_box.html"},
        {15624, "\\common\\docs\\en\\vantrel\\ss_user\\idh_select_drill_through_report_db.html"},
        {15625, "\\common\\docs\\en\\vantrel\\ss_user\\idh_drill_wizard_db.html"},
        {15626, "\\common\\docs\\en\\vantrel\\ss_user\\idh_select_columns_and_display_order_dialog_box.html"},
        {15627, "\\common\\docs\\en\\vantrel\\ss_user\\idh_select_data_sort_order_db.html"},
        {15628, "\\common\\docs\\en\\vantrel\\ss_user\\idh_select_data_filters_dialog_box.html"},
        {15629, "\\common\\docs\\en\\vantrel\\ss_user\\idh_order_by_dialog_box.html"},
        {15630, "\\common\\docs\\en\\vantrel\\ss_user\\idh_select_filter_values_from_list_dialog_box.html"},
        {50001, "Caught unknown exception"},
        {50002, "Need to provide Integration Server name"},
        {50003, "Need to provide user name"},
        {50005, "Failed to add value to list."},
        {50006, "Query didn't generate any rows."},
        {50007, "There are no reports defined for selected intersection."},
        {50008, "There are no display columns defined in a selected report."},
        {50009, "Failed to allocate [%d] bytes of memory."},
        {50010, "Drill-Through Error : %d"},
        {50011, "Invalid display order sequence found"},
        {50012, "Datasource name is not available."},
        {50501, "Item"},
        {50502,
         "\r\n"
         "Follow these steps to customize the transactional report\r\n"
         "related to the OLAP intersections you have selected:\r\n"
         "\r\n"
         "\r\n"
         "1. Select the columns to retrieve and define their\r\n"
         "display order.\r\n"
         "\r\n"
         "2. Define a sort order for columns.\r\n"
         "\r\n"
         "3. Define filters for columns.\r\n"
         "\r\n"
         "\r\n"
         "Click the finish button at any point to generate the report."},
        {50503, "Available Columns"},
        {50504, "Column"},
        {50505, "Order By"},
        {50506, "Ascending"},
        {50507, "Descending"},
        {50508, "Set Filter On Column : %s"},
        {50509, "Condition"},
        {50510, "Select Filter Values from the List"},
        {50511, "Drill-Through Report"},
        {50512, "Value"},
        {50513, "Null Parameter"},
        {50514,
         "The cell combination contains recursive hierarchy, therefore it will return all the "
         "data.  Do you want to continue?"},
        {50515, "Are you sure you want to delete the current filter?"},
        {50516, "Saved filters successfully."},
        {50517, "All filters deleted."},
        {50518, "Please enter a filter name."},
        {50519, "A Filter with name %s already exists."},
        {50521, "Cancel"},
        {50522, "Working"},
        {50523, "Click Cancel to cancel the operation"},
        {50525, "ZEVDT"},
        {50526, "Getting data from database..."},
        {50527, "Operation is cancelled."},
        {50528, "A filter text cannot contain $*$ or end with $*."},
        {50529, "The current filter has no name and cannot be changed."},
        {50530,
         "The saved filters could not be read. Saving replaces all saved filters of this report with the "
         "filters shown here.\r\n\r\nSave them anyway?"},
        {50531,
         "The saved filters could not be read, so nothing was saved: the saved filters of this report stay "
         "as they are."},
        {50532,
         "This saved filter cannot take the change: its record would no longer read back as it was saved."},
        {50533,
         "The column %s cannot take a saved condition: its name contains $*$ or ends with $*, which a saved "
         "filter cannot keep."},
    };
    return texts;
}

const unsigned kHelpFailureIds[] = {1538,  15511, 15521, 15531, 15541, 15551, 15561,
                                    15571, 15581, 15591, 15601, 15611, 15621};

TEST(StringTable, EveryTextIsExactlyAsWritten) {
    fw::ResourceFile file = Load(fw::SystemResources());
    for (const auto& [id, expected] : ExpectedTexts()) {
        std::string text;
        ASSERT_TRUE(file.FindString(id, &text)) << "missing string " << id;
        EXPECT_EQ(text, expected) << "string " << id;
    }
    // Nothing beyond the listed texts: a stray entry would be a text no code can name.
    EXPECT_EQ(file.StringCount(), ExpectedTexts().size());
}

TEST(StringTable, HelpPathsHoldSingleBackslashes) {
    fw::ResourceFile file = Load(fw::SystemResources());
    for (unsigned id = 15622; id <= 15630; ++id) {
        std::string text;
        ASSERT_TRUE(file.FindString(id, &text)) << id;
        EXPECT_EQ(text.rfind("\\common\\docs\\", 0), 0u) << id;
        EXPECT_EQ(text.find("\\\\"), std::string::npos) << id;
    }
}

TEST(StringTable, UnknownIdsGiveNoText) {
    fw::ResourceFile file = Load(fw::SystemResources());
    std::string text = "untouched";
    for (unsigned id : {0u, 1u, 15621u, 15631u, 50004u, 50013u, 50500u, 50520u, 50524u, 50539u, 65535u}) {
        EXPECT_FALSE(file.FindString(id, &text)) << id;
    }
    EXPECT_EQ(text, "untouched");
}

TEST(StringTable, HelpFailureMessagesBelongToTheFramework) {
    fw::ResourceFile system = Load(fw::SystemResources());
    fw::ResourceFile framework = Load(fw::FrameworkResources());
    std::vector<std::string> seen;
    for (unsigned id : kHelpFailureIds) {
        std::string text;
        EXPECT_FALSE(system.FindString(id, &text)) << id << " must not be the library's own";
        ASSERT_TRUE(framework.FindString(id, &text)) << id;
        EXPECT_FALSE(text.empty());
        for (const std::string& other : seen) EXPECT_NE(text, other) << id;
        seen.push_back(text);
    }
    std::string text;
    ASSERT_TRUE(framework.FindString(IDS_FW_SHELL_FILE_NOT_FOUND, &text));
    EXPECT_NE(text.find("not found"), std::string::npos);
    EXPECT_EQ(framework.StringCount(), std::size(kHelpFailureIds));
}

}  // namespace
