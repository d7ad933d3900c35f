# Installation in the standard places, and a Debian package of it (cpack -G DEB).
install(TARGETS orx700-sim orx700-dsp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(ORX_BUILD_APP)
  install(TARGETS orx700-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/orx700-demo.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/images/orx700-demo.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
if(ORX_BUILD_MANUALS)
  install(FILES ${ORX_MANUAL_PDFS} DESTINATION ${ORX_INSTALL_DOCDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${ORX_INSTALL_DOCDIR})
include(cmake/PackageDocs.cmake)
install(FILES ${ORX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ORX_CHANGELOG} ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${ORX_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME orx700-demo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The ORX-700 demo developers")
set(CPACK_PACKAGE_CONTACT "The ORX-700 demo developers <info@orx700-demo.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "emulator of the ORX-700 vibration data collector and FFT analyser")
# Debian shows the long description as it stands: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Shows the hand-held ORX-700 in a window, with its live LCD and two keys,
running the instrument's own firmware: for learning and showing the
instrument on a PC. Includes the user manuals and the headless tools
orx700-sim and orx700-dsp.")
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}_${PROJECT_VERSION}_amd64)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
# The libraries the programs link come from dpkg-shlibdeps. Loaded at run
# time: Qt's platform plugins, without which the window cannot open; the
# balloons' face (DejaVu Sans and its condensed cut); Qt's translations, which
# put Qt's own dialogs in the window's language.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core, fonts-dejavu-extra, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
