# zevdt_extract_hosting_example(page output)
#   Writes the first ```c block of the Markdown file `page` to `output` (only when it
#   changed). The complete host in docs/hosting.md is built from the page itself, in the
#   build tree and against an installed copy, so that the page cannot drift from the
#   header. Usable at configure time and from cmake -P scripts.
function(zevdt_extract_hosting_example page output)
  file(READ ${page} text)
  string(FIND "${text}" "```c\n" begin)
  if(begin LESS 0)
    message(FATAL_ERROR "${page}: no ```c block with the example host")
  endif()
  math(EXPR begin "${begin} + 5")
  string(SUBSTRING "${text}" ${begin} -1 rest)
  string(FIND "${rest}" "\n```" end)
  if(end LESS 0)
    message(FATAL_ERROR "${page}: the ```c block has no end")
  endif()
  string(SUBSTRING "${rest}" 0 ${end} example)
  file(CONFIGURE OUTPUT ${output} CONTENT "${example}\n" @ONLY)
endfunction()
