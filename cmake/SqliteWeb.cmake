# SQLite for the web edition: its C source as the npm package that
# web/package-lock.json pins ships it (scripts/install-web-deps.sh installs it
# without running the package's own native build), compiled by Emscripten.
# One connection on the page's main thread: no mutexes; no extensions to load.
enable_language(C)
set(ORX_SQLITE_SOURCE_DIR ${PROJECT_SOURCE_DIR}/web/node_modules/better-sqlite3/deps/sqlite3)
if(NOT EXISTS ${ORX_SQLITE_SOURCE_DIR}/sqlite3.c)
  message(FATAL_ERROR "SQLite's source is missing from ${ORX_SQLITE_SOURCE_DIR}: run scripts/install-web-deps.sh")
endif()
add_library(orx_sqlite_web STATIC ${ORX_SQLITE_SOURCE_DIR}/sqlite3.c)
target_include_directories(orx_sqlite_web SYSTEM PUBLIC ${ORX_SQLITE_SOURCE_DIR})
target_compile_definitions(orx_sqlite_web PRIVATE
  SQLITE_THREADSAFE=0
  SQLITE_OMIT_LOAD_EXTENSION
  SQLITE_DEFAULT_MEMSTATUS=0
  SQLITE_DQS=0)
# Shared memory like the rest of the module (the instrument's core is built
# with threads); SQLite's own warnings are not ours to fix.
target_compile_options(orx_sqlite_web PRIVATE -pthread -O2 -w)
