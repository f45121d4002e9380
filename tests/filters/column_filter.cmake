# The column-filter builder: its condition text (read back by the stand-in
# library's parser) and its dialogs on both backends.
zevdt_add_gtest(condition_text_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/condition_text_test.cpp
  LIBS zevdt_filters zevdtapi_core
  LABELS unit)
