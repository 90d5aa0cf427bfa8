# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KAVRIN_MINGW_PREFIX x86_64-w64-mingw32)
find_program(KAVRIN_MINGW_CXX NAMES ${KAVRIN_MINGW_PREFIX}-g++-posix)
if(NOT KAVRIN_MINGW_CXX)
  message(FATAL_ERROR
    "${KAVRIN_MINGW_PREFIX}-g++-posix was not found. "
    "Install it with: apt-get install g++-mingw-w64-x86-64-posix")
endif()
find_program(KAVRIN_MINGW_CC NAMES ${KAVRIN_MINGW_PREFIX}-gcc-posix REQUIRED)
find_program(KAVRIN_MINGW_WINDRES NAMES ${KAVRIN_MINGW_PREFIX}-windres REQUIRED)

set(CMAKE_C_COMPILER ${KAVRIN_MINGW_CC})
set(CMAKE_CXX_COMPILER ${KAVRIN_MINGW_CXX})
set(CMAKE_RC_COMPILER ${KAVRIN_MINGW_WINDRES})
set(CMAKE_FIND_ROOT_PATH /usr/${KAVRIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest runs the .exe tests through wine.
find_program(KAVRIN_WINE NAMES wine)
if(KAVRIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KAVRIN_WINE})
endif()
