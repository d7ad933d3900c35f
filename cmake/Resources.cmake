# orx_embed_resources(TARGET <lib> RESOURCES NAME=path ...)
# Compiles the named binary files into a static library whose registry the
# platform layer's resource lookup reads by name.
function(orx_embed_resources)
  cmake_parse_arguments(ARG "" "TARGET" "RESOURCES" ${ARGN})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET}_data.cpp)
  set(deps)
  foreach(pair IN LISTS ARG_RESOURCES)
    string(REGEX REPLACE "^[^=]*=" "" path "${pair}")
    list(APPEND deps "${path}")
  endforeach()
  add_custom_command(OUTPUT ${out}
    COMMAND orx-rescomp embed ${out} ${ARG_RESOURCES}
    DEPENDS orx-rescomp ${deps}
    COMMENT "Embedding resources into ${ARG_TARGET}"
    VERBATIM)
  add_library(${ARG_TARGET} STATIC ${out})
  target_link_libraries(${ARG_TARGET} PRIVATE orx_options)
endfunction()
