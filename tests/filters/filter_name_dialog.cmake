zevdt_add_gtest(filter_name_dialog_test KEYS
  SOURCES filter_name_dialog_test.cpp
  LIBS zevdt_filters
  LABELS scenario)
target_include_directories(filter_name_dialog_test PRIVATE ${CMAKE_SOURCE_DIR}/tests)
zevdt_add_resources(filter_name_dialog_test)
