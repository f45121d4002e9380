/* Identifiers of the library's resources.  Plain preprocessor only: this file is read by the
   resource compiler as well as by C++. */
#ifndef ZEVDT_RESOURCES_RESOURCE_H
#define ZEVDT_RESOURCES_RESOURCE_H

/* Dialog templates */
#define IDD_LOGIN                 129
#define IDD_SELECT_ATTR           130
#define IDD_ORDER_LIST            132
#define IDD_FILTER                133
#define IDD_FILTERS_PAGE          134
#define IDD_MEMBER_VALUE_SELECT   136
#define IDD_REPORTS               138
#define IDD_INFO_PAGE             139
#define IDD_PICK_STRING_ITEM      141
#define IDD_FILTER_NAME           143
#define IDD_WAIT                  144

/* Bitmaps */
#define IDB_WIZARD                140

/* Unnamed labels.  A plain DIALOG stores the id as a 16-bit word, so -1 would read back as
   65535 anyway; spelling it 65535 keeps both template kinds alike. */
#ifndef IDC_STATIC
#define IDC_STATIC                65535
#endif

/* Common buttons */
#ifndef IDOK
#define IDOK                      1
#endif
#ifndef IDCANCEL
#define IDCANCEL                  2
#endif
#ifndef IDHELP
#define IDHELP                    9
#endif

/* 129 login */
#define IDC_LOGIN_SERVER_LABEL    1000
#define IDC_LOGIN_SERVER          1001
#define IDC_LOGIN_DATA_SOURCE     1002
#define IDC_LOGIN_SOURCE_GROUP    1009
#define IDC_LOGIN_SOURCE_LABEL    1010
#define IDC_LOGIN_USER_LABEL      1011
#define IDC_LOGIN_PASSWORD_LABEL  1012
#define IDC_LOGIN_USER            1014
#define IDC_LOGIN_PASSWORD        1015
#define IDC_LOGIN_HELP            1065

/* 138 report selection */
#define IDC_REPORTS_LIST          1040
#define IDC_REPORTS_EXECUTE       1043
#define IDC_REPORTS_CUSTOMIZE     1044

/* 144 wait */
#define IDC_WAIT_PROGRESS         1071
#define IDC_WAIT_MESSAGE          1072

/* 139 info page */
#define IDC_INFO_TEXT             1045
#define IDC_INFO_PICTURE          1062

/* 130 column selection page */
#define IDC_SELECT_TREE           1007
#define IDC_SELECT_LIST           1008
#define IDC_SELECT_ADD_ALL        1009
#define IDC_SELECT_ADD            1010
#define IDC_SELECT_REMOVE         1011
#define IDC_SELECT_REMOVE_ALL     1012
#define IDC_SELECT_MOVE_UP        1013
#define IDC_SELECT_AVAILABLE_LABEL 1014
#define IDC_SELECT_MOVE_DOWN      1015
#define IDC_SELECT_SELECTED_LABEL 1016
#define IDC_SELECT_REPORT_NAME    1047

/* 132 sort order page */
#define IDC_ORDER_ADD_ALL         1009
#define IDC_ORDER_AVAILABLE       1050
#define IDC_ORDER_SORT_LIST       1051
#define IDC_ORDER_ADD             1052
#define IDC_ORDER_REMOVE          1053
#define IDC_ORDER_REMOVE_ALL      1054
#define IDC_ORDER_MOVE_UP         1055
#define IDC_ORDER_MOVE_DOWN       1056
#define IDC_ORDER_ORDER_BY        1057
#define IDC_ORDER_REPORT_NAME     1058

/* 133 data filters page */
#define IDC_FILTER_CONDITION      1022
#define IDC_FILTER_ADD_CONDITION  1024
#define IDC_FILTER_CLEAR          1025
#define IDC_FILTER_CLEAR_ALL      1026
#define IDC_FILTER_GRID           1027
#define IDC_FILTER_COMBO          1066
#define IDC_FILTER_DESCRIPTION    1067
#define IDC_FILTER_ADD_NEW        1068
#define IDC_FILTER_DELETE         1069
#define IDC_FILTER_RENAME         1070
#define IDC_FILTER_SAVE           1071

/* 134 column-filter builder page */
#define IDC_BUILDER_ADD           1010
#define IDC_BUILDER_FILTERS       1022
#define IDC_BUILDER_COLUMN        1028
#define IDC_BUILDER_OPERATOR      1029
#define IDC_BUILDER_VALUE         1030
#define IDC_BUILDER_PICK          1031
#define IDC_BUILDER_AND           1033
#define IDC_BUILDER_OR            1034
#define IDC_BUILDER_ADD_TYPE      1037

/* 136 member value selection */
#define IDC_VALUES_LIST           1036
#define IDC_VALUES_HELP           1064

/* 141 pick one string */
#define IDC_PICK_LIST             1063

/* 143 filter name */
#define IDC_NAME_EDIT             1069
#define IDC_NAME_COPY             1070

/* Help paths, relative to the installation root */
#define IDS_HELP_COLUMN_FILTER    15622
#define IDS_HELP_LOGIN            15623
#define IDS_HELP_REPORTS          15624
#define IDS_HELP_WIZARD_INFO      15625
#define IDS_HELP_SELECT_COLUMNS   15626
#define IDS_HELP_SORT_ORDER       15627
#define IDS_HELP_DATA_FILTERS     15628
#define IDS_HELP_ORDER_BY         15629
#define IDS_HELP_FILTER_VALUES    15630

/* Failure messages; the same numbers are the exports' result codes */
#define IDS_CAUGHT_UNKNOWN_EXCEPTION  50001
#define IDS_NEED_SERVER_NAME          50002
#define IDS_NEED_USER_NAME            50003
#define IDS_ADD_VALUE_FAILED          50005
#define IDS_QUERY_NO_ROWS             50006
#define IDS_NO_REPORTS                50007
#define IDS_NO_DISPLAY_COLUMNS        50008
#define IDS_ALLOC_FAILED              50009
#define IDS_DRILL_THROUGH_ERROR       50010
#define IDS_INVALID_DISPLAY_ORDER     50011
#define IDS_NO_DATASOURCE_NAME        50012
#define IDS_NULL_PARAMETER            50513

/* Captions, headers, questions and the wait dialog's texts */
#define IDS_ITEM                      50501
#define IDS_WIZARD_INSTRUCTIONS       50502
#define IDS_AVAILABLE_COLUMNS         50503
#define IDS_COLUMN                    50504
#define IDS_ORDER_BY                  50505
#define IDS_ASCENDING                 50506
#define IDS_DESCENDING                50507
#define IDS_SET_FILTER_ON_COLUMN      50508
#define IDS_CONDITION                 50509
#define IDS_SELECT_FILTER_VALUES      50510
#define IDS_DRILL_THROUGH_REPORT      50511
#define IDS_VALUE                     50512
#define IDS_RECURSIVE_HIERARCHY       50514
#define IDS_CONFIRM_DELETE_FILTER     50515
#define IDS_FILTERS_SAVED             50516
#define IDS_ALL_FILTERS_DELETED       50517
#define IDS_ENTER_FILTER_NAME         50518
#define IDS_FILTER_NAME_EXISTS        50519
#define IDS_WAIT_CANCEL               50521
#define IDS_WAIT_TITLE                50522
#define IDS_WAIT_MESSAGE              50523
#define IDS_APP_TITLE                 50525
#define IDS_GETTING_DATA              50526
#define IDS_OPERATION_CANCELLED       50527

#endif
