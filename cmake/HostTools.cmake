# A cross build (the web edition) runs its build-time tools on the build
# machine: they are built natively, from the same sources, in a build tree of
# their own, and stand in for the targets of the same name.
include(ExternalProject)

set(ORX_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(ORX_HOST_RESCOMP ${ORX_HOST_TOOLS_DIR}/tools/orx-rescomp)

ExternalProject_Add(orx_host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${ORX_HOST_TOOLS_DIR}
  CMAKE_GENERATOR ${CMAKE_GENERATOR}
  CMAKE_ARGS -DORX_HOST_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target orx-rescomp
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${ORX_HOST_RESCOMP}
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

add_executable(orx-rescomp IMPORTED GLOBAL)
set_target_properties(orx-rescomp PROPERTIES IMPORTED_LOCATION ${ORX_HOST_RESCOMP})
add_dependencies(orx-rescomp orx_host_tools)
