list(APPEND ZEVDT_FILTER_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/filter_record.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/filter_list.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/column_conditions.cpp)
