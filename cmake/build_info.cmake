# Writes OUT with the version and the commit the program is built from, at every build, and only
# when they changed: the about box says which build a coder runs without rebuilding everything.
execute_process(COMMAND git -C "${SOURCE_DIR}" describe --always --dirty --abbrev=10
                OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%cs
                OUTPUT_VARIABLE day OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT commit)
  set(commit "unknown")
endif()
set(text "#pragma once\n#define TARNWICK_VERSION \"${VERSION}\"\n#define TARNWICK_BUILD \"${commit} ${day} ${BUILD_TYPE}\"\n")
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUT}" "${text}")
endif()
