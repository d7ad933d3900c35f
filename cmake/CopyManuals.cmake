# Copies the user manuals that a native build has made (FROM) into the web
# site's manuals folder (TO). A manual not built is left out: the page then
# has no manual to open, and everything else works.
# cmake -DFROM=... -DTO=... -P CopyManuals.cmake
file(MAKE_DIRECTORY "${TO}")
foreach(name "usermanual_orx700.pdf" "ORX-700_РЭ.pdf")
  if(EXISTS "${FROM}/${name}")
    file(COPY_FILE "${FROM}/${name}" "${TO}/${name}" ONLY_IF_DIFFERENT)
  else()
    message(STATUS "No ${name} in ${FROM}: the site has no such manual")
  endif()
endforeach()
