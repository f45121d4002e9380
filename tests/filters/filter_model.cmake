zevdt_add_gtest(filter_model_test
  SOURCES filter_model_test.cpp
  LIBS zevdt_filters
  LABELS unit)
target_include_directories(filter_model_test PRIVATE ${CMAKE_SOURCE_DIR}/tests)
zevdt_add_resources(filter_model_test)
