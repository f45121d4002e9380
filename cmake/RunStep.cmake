# run(<name> COMMAND ...) for CMake scripts (-P): runs a step and stops the
# script with the step's output when it fails; its standard output is left in
# <name>_out.
function(run name)
  execute_process(${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${name} failed (${rc}):\n${out}\n${err}")
  endif()
  set(${name}_out "${out}" PARENT_SCOPE)
endfunction()
