# zevdt drill --format xlsx read back by a spreadsheet library (openpyxl, run by
# Debian's own interpreter): the sample cell against its CSV, and the hand-made
# cells of xlsx_edge_writer. In the Windows builds the workbooks are written
# under Wine and read here.
set(ZEVDT_OPENPYXL_PYTHON /usr/bin/python3 CACHE FILEPATH "A Python with openpyxl (Debian's python3-openpyxl)")
set(xlsx_check ${ZEVDT_OPENPYXL_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/xlsx_check.py)
set(out ${CMAKE_CURRENT_BINARY_DIR}/xlsx)
file(MAKE_DIRECTORY ${out})

add_executable(xlsx_edge_writer xlsx_edge_writer.cpp)
target_link_libraries(xlsx_edge_writer PRIVATE zevdt_host)
add_test(NAME xlsx_edge_write COMMAND xlsx_edge_writer ${out}/edge.xlsx)
set_tests_properties(xlsx_edge_write PROPERTIES TIMEOUT 60 LABELS "unit;xlsx" FIXTURES_SETUP xlsx_edge)
add_test(NAME xlsx_edge_read COMMAND ${xlsx_check} edge ${out}/edge.xlsx)
set_tests_properties(xlsx_edge_read PROPERTIES TIMEOUT 60 LABELS "unit;xlsx" FIXTURES_REQUIRED xlsx_edge)

set(drill_env "ZEVDTAPI_DATABASE=${CMAKE_CURRENT_BINARY_DIR}/hosting.db;ZEVDT_UI_SCRIPT=${CMAKE_SOURCE_DIR}/tools/zevdt/demo.ui")
foreach(format csv xlsx)
  add_test(NAME xlsx_drill_${format}
           COMMAND zevdt drill --member Year=2024 --member Region=East --member Category=Beverages
                   --format ${format} --encoding utf-8 --output ${out}/sample.${format})
  set_tests_properties(xlsx_drill_${format} PROPERTIES TIMEOUT 120 LABELS "e2e;xlsx" ENVIRONMENT "${drill_env}"
    FIXTURES_REQUIRED hosting_db FIXTURES_SETUP xlsx_drill)
endforeach()
# Sales Detail: the sale date, five texts, the quantity, the amount, the channel.
add_test(NAME xlsx_drill_read COMMAND ${xlsx_check} report ${out}/sample.xlsx ${out}/sample.csv dtttttint)
set_tests_properties(xlsx_drill_read PROPERTIES TIMEOUT 60 LABELS "e2e;xlsx" FIXTURES_REQUIRED xlsx_drill
  PASS_REGULAR_EXPRESSION ": 2143 rows, types dtttttint")
