# zevdt_add_resources(<target>)
# Gives <target> the library's resources (zevdtu.rc) and the framework's (framework.rc).
#   Windows: links the two compiled resource objects into the target's resource section.
#   Elsewhere: links zevdt_resources_embedded, which carries the same compiled .res images.
# Defined by src/resources/CMakeLists.txt; any directory added after it can call it.
function(zevdt_add_resources target)
  if(WIN32)
    get_property(objects GLOBAL PROPERTY ZEVDT_RESOURCE_OBJECTS)
    add_dependencies(${target} zevdt_resources_compiled)
    target_link_libraries(${target} PRIVATE ${objects})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${objects})
  else()
    target_link_libraries(${target} PRIVATE zevdt_resources_embedded)
  endif()
  target_link_libraries(${target} PRIVATE zevdt_resource_ids)
endfunction()
