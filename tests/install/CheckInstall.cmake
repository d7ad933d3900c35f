# cmake -DBUILD_DIR=... -DPREFIX=... -P CheckInstall.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()

foreach(file
    bin/orx700-demo
    bin/orx700-sim
    bin/orx700-dsp
    share/applications/orx700-demo.desktop
    share/icons/hicolor/scalable/apps/orx700-demo.svg
    share/doc/orx700-demo/usermanual_orx700.pdf
    share/doc/orx700-demo/ORX-700_РЭ.pdf)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The desktop entry starts the installed program by name, with its icon.
file(READ "${PREFIX}/share/applications/orx700-demo.desktop" entry)
foreach(line "Exec=orx700-demo" "Icon=orx700-demo" "Type=Application")
  string(FIND "${entry}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()

# The installed program keeps the state in the user's configuration folder,
# not among its own files (it says where with --help, without a screen).
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "XDG_CONFIG_HOME=${PREFIX}/config"
                        "${PREFIX}/bin/orx700-demo" --help
                RESULT_VARIABLE result OUTPUT_VARIABLE help)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "orx700-demo --help failed")
endif()
string(FIND "${help}" "${PREFIX}/config/orx700-demo/orx700-demo.ini" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the installed program keeps its state elsewhere: ${help}")
endif()

# The installed runner works on its own: a script in, an LCD picture out.
file(WRITE "${PREFIX}/script.sim" "k1-long\nwait 1500\npng ${PREFIX}/lcd.png\n")
execute_process(COMMAND "${PREFIX}/bin/orx700-sim" "${PREFIX}/script.sim" RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT EXISTS "${PREFIX}/lcd.png")
  message(FATAL_ERROR "the installed orx700-sim failed: ${errors}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
