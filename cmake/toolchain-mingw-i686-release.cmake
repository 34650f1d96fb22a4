# Cross build of the shipped 32-bit Roamwise.exe with mingw-w64's win32-thread
# compilers. The posix flavour links winpthreads statically, which imports
# GetTickCount64 (Vista and later) and AddVectoredExceptionHandler (XP and
# later), and Windows 2000 then refuses to load the exe. The -win32 suffix is
# explicit: the plain names are alternatives that may point at either flavour.
# Test programs keep toolchain-mingw-i686.cmake (GoogleTest needs std::mutex).
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
# This tree builds the program that ships: the release checks run on it.
set(ROAMWISE_SHIPPED_BUILD ON)
