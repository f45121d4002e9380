# The wizard's data filters step, on its own and in the wizard, on both backends.
zevdt_add_gtest(data_filters_test KEYS
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/data_filters_test.cpp
  LIBS zevdt_wizard
  LABELS scenario)
target_include_directories(data_filters_test PRIVATE ${CMAKE_SOURCE_DIR}/tests)
zevdt_add_resources(data_filters_test)
