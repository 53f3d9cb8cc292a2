# Cross build for 64-bit Windows: the 32-bit build's settings with the x86-64 compiler.
set(QV_MINGW_TARGET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-i686-mingw.cmake)
