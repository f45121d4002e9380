# The two value pick dialogs: one string of a short list, and column values.
list(APPEND ZEVDT_FILTER_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/pick_string_item_dlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/member_value_select_dlg.cpp)
