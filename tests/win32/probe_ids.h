// Ids of the probe templates that the Win32 backend tests run (probe.rc).
#pragma once

#define IDD_PROBE 9001
#define IDD_PROBE_PAGE1 9002
#define IDD_PROBE_PAGE2 9003
#define IDC_PROBE_PRESS 1001
#define IDC_PROBE_EDIT 1002
#define IDC_PROBE_COMBO 1003
#define IDC_PROBE_LIST 1004
#define IDC_PROBE_LISTVIEW 1005
#define IDC_PROBE_TREE 1006
#define IDC_PAGE_EDIT 1101
#define IDS_PROBE_SHORT 9100
#define IDS_PROBE_LONG 9101
#define IDB_PROBE 9200
