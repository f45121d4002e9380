# The column-filter builder: its condition text (read back by the stand-in
# library's parser) and its dialogs on both backends.
zevdt_add_gtest(condition_text_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/condition_text_test.cpp
  LIBS zevdt_filters zevdtapi_core
  LABELS unit)

zevdt_add_gtest(column_filter_builder_test KEYS
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/column_filter_builder_test.cpp
  LIBS zevdt_filters
  LABELS scenario)
zevdt_add_resources(column_filter_builder_test)
target_include_directories(column_filter_builder_test PRIVATE ${CMAKE_SOURCE_DIR}/tests)
