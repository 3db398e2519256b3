# Cross build for Windows with the posix-thread mingw-w64 compilers
# (googletest needs std::thread, which the win32-thread ones lack).
# TAVELIN_ARCH: i686 for the shipped 32-bit program, x86_64 for the 64-bit
# build of the same sources.
if(NOT TAVELIN_ARCH)
  set(TAVELIN_ARCH x86_64)
endif()
set(TAVELIN_ARCH ${TAVELIN_ARCH} CACHE STRING "mingw target: i686 or x86_64")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TAVELIN_ARCH})
set(CMAKE_C_COMPILER ${TAVELIN_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVELIN_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${TAVELIN_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAVELIN_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest runs the Windows test programs through the Wine of their
# architecture; test.sh prepares the prefix, the display and the wineserver
# first.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${TAVELIN_ARCH})
