# The column-filter builder: its condition text, the sheet with its one page,
# and the fetch of a column's values beside the wait dialog.
list(APPEND ZEVDT_FILTER_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/condition_text.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/df_filters_page.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/df_property_sheet.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/value_fetch.cpp)
