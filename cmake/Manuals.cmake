# The user manuals: each language's Markdown text with the instrument's own
# screens, rendered by orx700-sim from the key scripts in docs/manual/screens,
# made into a PDF beside the program, where its User Manual button looks.
set(ORX_MANUAL_SOURCES ${PROJECT_SOURCE_DIR}/docs/manual)
file(GLOB ORX_MANUAL_SCREENS CONFIGURE_DEPENDS ${ORX_MANUAL_SOURCES}/screens/*.sim)

# language folder, the instrument's language, the PDF's name, its title
set(ORX_MANUALS
  "en|ENG|usermanual_orx700.pdf|ORX-700 demo: User Manual"
  "ru|RUS|ORX-700_РЭ.pdf|Имитатор прибора ORX-700: руководство по эксплуатации")

set(ORX_MANUAL_PDFS "")
foreach(manual IN LISTS ORX_MANUALS)
  string(REPLACE "|" ";" fields "${manual}")
  list(GET fields 0 folder)
  list(GET fields 1 language)
  list(GET fields 2 pdf)
  list(GET fields 3 title)
  set(screens_dir ${CMAKE_BINARY_DIR}/manual/${folder}/screens)
  set(pictures "")
  foreach(script IN LISTS ORX_MANUAL_SCREENS)
    get_filename_component(name ${script} NAME_WE)
    set(png ${screens_dir}/${name}.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${screens_dir}
      COMMAND ${CMAKE_COMMAND} -DSIM=$<TARGET_FILE:orx700-sim> -DSCRIPT=${script} -DLANG=${language}
              -DOUT=${png} -P ${PROJECT_SOURCE_DIR}/cmake/RenderScreen.cmake
      DEPENDS orx700-sim ${script} ${PROJECT_SOURCE_DIR}/cmake/RenderScreen.cmake
      COMMENT "LCD screen ${name} (${language})"
      VERBATIM)
    list(APPEND pictures ${png})
  endforeach()
  # Shots of the desktop's windows, kept beside the text of their language.
  file(GLOB window_shots CONFIGURE_DEPENDS ${ORX_MANUAL_SOURCES}/${folder}/*.png)
  foreach(shot IN LISTS window_shots)
    get_filename_component(name ${shot} NAME)
    set(copy ${CMAKE_BINARY_DIR}/manual/${folder}/${name})
    add_custom_command(
      OUTPUT ${copy}
      COMMAND ${CMAKE_COMMAND} -E copy ${shot} ${copy}
      DEPENDS ${shot}
      VERBATIM)
    list(APPEND pictures ${copy})
  endforeach()
  set(output ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${pdf})
  add_custom_command(
    OUTPUT ${output}
    COMMAND orx700-manual ${ORX_MANUAL_SOURCES}/${folder}/usermanual.md ${CMAKE_BINARY_DIR}/manual/${folder}
            ${output} ${title}
    DEPENDS orx700-manual ${ORX_MANUAL_SOURCES}/${folder}/usermanual.md ${pictures}
    COMMENT "User manual ${pdf}"
    VERBATIM)
  list(APPEND ORX_MANUAL_PDFS ${output})
endforeach()

add_custom_target(manuals ALL DEPENDS ${ORX_MANUAL_PDFS})
