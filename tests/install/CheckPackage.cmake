# cmake -DCPACK=... -DBUILD_DIR=... -DOUT=... -P CheckPackage.cmake
# The Debian package that cpack makes passes Debian's package checker with no
# error and no warning, and carries the manual page of every command.
find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message("lintian is not installed: the package is not checked")
  return()
endif()
file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND "${CPACK}" -G DEB -B "${OUT}" --config "${BUILD_DIR}/CPackConfig.cmake"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB deb "${OUT}/*.deb")
if(NOT result EQUAL 0 OR NOT deb)
  message(FATAL_ERROR "cpack made no package: ${output}")
endif()

execute_process(COMMAND dpkg-deb --contents "${deb}" OUTPUT_VARIABLE contents)
foreach(command orx700-demo orx700-sim orx700-dsp)
  string(FIND "${contents}" "./usr/share/man/man1/${command}.1.gz" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "no manual page for ${command} in the package:\n${contents}")
  endif()
endforeach()

# --fail-on makes errors and warnings fail; info and pedantic notes do not.
execute_process(COMMAND "${LINTIAN}" --fail-on error,warning --no-tag-display-limit "${deb}"
                RESULT_VARIABLE result OUTPUT_VARIABLE tags ERROR_VARIABLE tags)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lintian finds the package at fault:\n${tags}")
endif()
file(REMOVE_RECURSE "${OUT}")
