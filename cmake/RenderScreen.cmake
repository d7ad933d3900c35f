# Renders one LCD screen for the user manuals: runs the headless instrument on
# a key script, in a language, at a fixed clock, and writes the LCD picture.
# cmake -DSIM=... -DSCRIPT=... -DLANG=ENG|RUS -DOUT=....png -P RenderScreen.cmake
foreach(var SIM SCRIPT LANG OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RenderScreen.cmake needs -D${var}=...")
  endif()
endforeach()

file(READ "${SCRIPT}" keys)
set(composed "${OUT}.sim")
file(WRITE "${composed}" "lang ${LANG}\n${keys}\npng ${OUT} 2\n")
execute_process(
  COMMAND "${SIM}" --clock "2026-03-14 10:30" "${composed}"
  RESULT_VARIABLE result
  OUTPUT_QUIET
  ERROR_VARIABLE errors)
file(REMOVE "${composed}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${SCRIPT}: ${errors}")
endif()
