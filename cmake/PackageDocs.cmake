# The documents an installed package carries beside the programs: a manual
# page per command, the changelog and the copyright, gzipped the way Debian
# keeps them (best compression, no time stamp, so builds are reproducible).
# The tools' pages are made from their --help by help2man, so they say what
# the tools do in the build that installs them; the window's page is written
# by hand, since its interface is the window.
find_program(ORX_HELP2MAN help2man)
find_program(ORX_GZIP gzip REQUIRED)
set(ORX_PACKAGE_DOCS_DIR ${CMAKE_BINARY_DIR}/package-docs)
file(MAKE_DIRECTORY ${ORX_PACKAGE_DOCS_DIR})

set(ORX_MAN_PAGES "")
if(ORX_HELP2MAN)
  foreach(tool_and_name
      "orx700-sim|run the ORX-700 firmware without a window, from a key script"
      "orx700-dsp|the ORX-700's own level and spectrum arithmetic on a waveform file")
    string(REPLACE "|" ";" fields "${tool_and_name}")
    list(GET fields 0 tool)
    list(GET fields 1 name)
    set(page ${ORX_PACKAGE_DOCS_DIR}/${tool}.1)
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${ORX_HELP2MAN} --no-info --section=1 --version-string=${PROJECT_VERSION} --name=${name}
              --output=${page} $<TARGET_FILE:${tool}>
      COMMAND ${ORX_GZIP} -9nf ${page}
      DEPENDS ${tool}
      COMMENT "Manual page ${tool}(1) from its --help"
      VERBATIM)
    list(APPEND ORX_MAN_PAGES ${page}.gz)
  endforeach()
else()
  message(STATUS "help2man not found: orx700-sim and orx700-dsp get no manual page")
endif()

# Written pages and the changelog: the version filled in, then gzipped.
set(ORX_WRITTEN_DOCS ${PROJECT_SOURCE_DIR}/packaging/changelog.in)
if(ORX_BUILD_APP)
  list(APPEND ORX_WRITTEN_DOCS ${PROJECT_SOURCE_DIR}/packaging/orx700-demo.1.in)
endif()
foreach(source IN LISTS ORX_WRITTEN_DOCS)
  get_filename_component(file ${source} NAME_WLE)
  configure_file(${source} ${ORX_PACKAGE_DOCS_DIR}/${file} @ONLY)
  add_custom_command(
    OUTPUT ${ORX_PACKAGE_DOCS_DIR}/${file}.gz
    COMMAND ${ORX_GZIP} -9nkf ${ORX_PACKAGE_DOCS_DIR}/${file}
    DEPENDS ${ORX_PACKAGE_DOCS_DIR}/${file}
    VERBATIM)
  if(file STREQUAL "changelog")
    set(ORX_CHANGELOG ${ORX_PACKAGE_DOCS_DIR}/${file}.gz)
  else()
    list(APPEND ORX_MAN_PAGES ${ORX_PACKAGE_DOCS_DIR}/${file}.gz)
  endif()
endforeach()

add_custom_target(orx_package_docs ALL DEPENDS ${ORX_MAN_PAGES} ${ORX_CHANGELOG})
