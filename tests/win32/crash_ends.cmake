# Runs crash_probe under the test runner (RUNNER, its words joined by "|") and
# checks that the crash ends the program within LIMIT seconds, with a code
# other than 0 and Wine's line about the exception on standard error.
string(REPLACE "|" ";" runner "${RUNNER}")
string(TIMESTAMP started "%s")
execute_process(COMMAND ${runner} ${PROBE} ${HOW}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err
                TIMEOUT 60)
string(TIMESTAMP ended "%s")
math(EXPR took "${ended} - ${started}")
if(NOT result MATCHES "^[0-9]+$")
  message(FATAL_ERROR "${HOW}: the crashed program did not end (${result}) after ${took} s:\n${err}")
endif()
if(result EQUAL 0)
  message(FATAL_ERROR "${HOW}: the crash was reported as success:\n${err}")
endif()
if(took GREATER ${LIMIT})
  message(FATAL_ERROR "${HOW}: the crash took ${took} s to end the program (at most ${LIMIT}):\n${err}")
endif()
if(NOT err MATCHES "Unhandled")
  message(FATAL_ERROR "${HOW}: nothing on standard error says what crashed:\n${err}")
endif()
message(STATUS "${HOW}: ended with ${result} after ${took} s")
