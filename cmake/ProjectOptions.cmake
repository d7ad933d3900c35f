# Compile options every target of the project links: the warnings, as errors
# in the presets and CI, and the sanitizers chosen by the preset.
add_library(orx_options INTERFACE)
target_compile_options(orx_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Wimplicit-fallthrough)
# Off for whoever configures the project another way (a packager, a
# distribution with a newer compiler): a new warning must not stop their build.
option(ORX_WARNINGS_AS_ERRORS "Treat compiler warnings as errors (on in every preset)" OFF)
if(ORX_WARNINGS_AS_ERRORS)
  target_compile_options(orx_options INTERFACE -Werror)
endif()
target_include_directories(orx_options INTERFACE ${PROJECT_SOURCE_DIR}/src)

if(ORX_SANITIZE)
  target_compile_options(orx_options INTERFACE
    -fsanitize=${ORX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(orx_options INTERFACE -fsanitize=${ORX_SANITIZE})
endif()

# The fixed-point computation's proven claims (no wrap, exact quotients)
# checked as it runs, stopping at the first false one: on in the sanitizer
# preset, compiled away otherwise.
option(ORX_FIXED_POINT_CHECKED "Check the fixed-point claims at run time" OFF)
if(ORX_FIXED_POINT_CHECKED)
  target_compile_definitions(orx_options INTERFACE ORX_FIXED_POINT_CHECKED)
endif()

# WebAssembly: the device's worker is a real thread (-pthread everywhere: the
# C library finds pthreads without it, so CMake adds no flag); the firmware's
# power-off travels as a C++ exception, so exceptions are caught (Emscripten's
# default only aborts); the vector lanes use their WebAssembly SIMD form.
if(EMSCRIPTEN)
  target_compile_options(orx_options INTERFACE -pthread -fexceptions -msimd128)
  target_link_options(orx_options INTERFACE -pthread -fexceptions)
endif()
