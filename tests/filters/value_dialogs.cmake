zevdt_add_gtest(value_dialogs_test KEYS
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/value_dialogs_test.cpp
  LIBS zevdt_filters
  LABELS scenario)
target_include_directories(value_dialogs_test PRIVATE ${CMAKE_SOURCE_DIR}/tests)
zevdt_add_resources(value_dialogs_test)
