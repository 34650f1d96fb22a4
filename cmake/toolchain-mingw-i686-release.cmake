# Cross build of the shipped 32-bit Roamwise.exe with mingw-w64's win32-thread
# compilers. The posix flavour links winpthreads statically, which imports
# GetTickCount64 (Vista and later) and AddVectoredExceptionHandler (XP and
# later), and Windows 2000 then refuses to load the exe. The -win32 suffix is
# explicit: the plain names are alternatives that may point at either flavour.
# Test programs keep toolchain-mingw-i686.cmake (GoogleTest needs std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# windres must see UNICODE too.
set(CMAKE_RC_FLAGS "-DUNICODE -D_UNICODE" CACHE STRING "" FORCE)
# This tree builds the program that ships: the release checks run on it.
set(ROAMWISE_SHIPPED_BUILD ON)
