# Cross toolchain for mingw-w64: -DMINGW_ARCH=i686 (the shipped 32-bit player) or x86_64
# (the same sources, run under wine64 by the tests, since this machine runs no 32-bit code).
# The -posix compilers give std::thread/std::mutex, which GoogleTest needs.
set(MINGW_ARCH "x86_64" CACHE STRING "x86_64 or i686")
set(TRIPLE ${MINGW_ARCH}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_ARCH})
set(CMAKE_C_COMPILER   ${TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: the exes import system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
if(MINGW_ARCH STREQUAL "x86_64")
  # Tests run through wine64 in the project's prefix (scripts/wine-run).
  get_filename_component(_vorlo_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${_vorlo_root}/scripts/wine-run)
endif()
