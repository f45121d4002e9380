// The headless backend's windows: plain objects that hold what a Win32
// control would hold, built from the same dialog templates.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../backend.h"
#include "../win_types.h"

namespace fw {
namespace headless {

struct Row {
    std::vector<std::string> texts;  // one per column (list views); one for list and combo boxes
    uintptr_t data = 0;
    UINT state = 0;  // LVIS_SELECTED, LVIS_FOCUSED; list boxes use LVIS_SELECTED too
};

struct TreeNode {
    std::string text;
    LPARAM data = 0;
    TreeNode* parent = nullptr;
    std::vector<TreeNode*> children;
};

struct SheetState;

struct Window {
    WindowKind kind = WindowKind::Control;
    std::string cls;  // "Button", "Edit", "Static", "ListBox", "ComboBox", "SysListView32", ...
    int id = 0;
    unsigned templateId = 0;
    std::string text;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int clientWidth = 0, clientHeight = 0;  // pixels, from the template's size
    Window* parent = nullptr;
    std::vector<Window*> children;
    WindowSink* sink = nullptr;

    // Modal state of dialogs and message boxes.
    bool ended = false;
    intptr_t result = 0;
    unsigned helpId = 0;  // a message box's help context

    // Dialog manager state of a top-level window: the default push button
    // set with DM_SETDEFID (0: the template's DEFPUSHBUTTON, if any) and the
    // control with the keyboard focus.
    int defId = 0;
    Window* focus = nullptr;

    // A multi-line edit that leaves Enter, Esc and Tab to the dialog manager.
    bool leavesDialogKeys = false;

    // Control state.
    std::vector<Row> rows;
    // An owner-data list view (LVS_OWNERDATA) holds no rows: only their
    // number, each one's state and the row with the focus. It asks its
    // parent for a row's text and for the row a typed text starts.
    std::vector<UINT> itemStates;
    int selectedItems = 0;
    int focusedItem = -1;
    std::vector<std::string> columns;
    int curSel = -1;
    int extent = 0;
    int check = BST_UNCHECKED;
    void* image = nullptr;
    std::vector<std::unique_ptr<TreeNode>> nodes;
    std::vector<TreeNode*> roots;
    TreeNode* caret = nullptr;

    std::unique_ptr<SheetState> sheet;
};

struct SheetState {
    SheetRun run;
    std::vector<Window*> pages;  // created lazily, null until first shown
    int current = -1;
};

}  // namespace headless
}  // namespace fw
