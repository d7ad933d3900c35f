# Rebuilds cost what changed: every compile goes through ccache when the
# machine has it. The cache lives outside the build tree (ccache's own folder,
# ~/.cache/ccache unless CCACHE_DIR says otherwise), so a fresh clone or a
# deleted build folder still finds the objects it made before. Paths are
# hashed relative to the source folder, and the debug information names files
# relative to it too, so two clones of the project share their objects.
option(ORX_COMPILER_CACHE "Compile through ccache when it is installed" ON)
if(ORX_COMPILER_CACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  find_program(ORX_CCACHE ccache)
  if(ORX_CCACHE)
    set(CMAKE_CXX_COMPILER_LAUNCHER
        ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1 ${ORX_CCACHE})
    target_compile_options(orx_options INTERFACE -fdebug-prefix-map=${PROJECT_SOURCE_DIR}/=)
  endif()
endif()
