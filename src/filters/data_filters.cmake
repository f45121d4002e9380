# The wizard's data filters step.
list(APPEND ZEVDT_FILTER_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/dt_filter.cpp)
