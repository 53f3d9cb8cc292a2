# Cross build for 32-bit Windows with the posix thread-model MinGW-w64 compiler (the 64-bit
# toolchain file names another target and includes this one).
if(NOT QV_MINGW_TARGET)
  set(QV_MINGW_TARGET i686-w64-mingw32)
  set(CMAKE_SYSTEM_PROCESSOR i686)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${QV_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QV_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${QV_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QV_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows test programs run under Wine through ctest; the script picks 32- or 64-bit Wine by tree.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
