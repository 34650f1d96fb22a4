# Windows test programs run under Wine when cross-built on Linux.
if(CMAKE_HOST_UNIX)
  set(ROAMWISE_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
  # 32-bit programs under the 32-bit loader (a kernel that runs no 32-bit
  # code gets the 64-bit build instead), 64-bit ones under wine64.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(ROAMWISE_WINE_LOADER /usr/lib/wine/wine)
  else()
    set(ROAMWISE_WINE_LOADER /usr/lib/wine/wine64)
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()

# A GoogleTest program whose TEST()s become CTest tests (found in the
# sources, so nothing runs at configure or discovery time).
function(roamwise_windows_gtest target)
  target_link_libraries(${target} PRIVATE gtest gtest_main)
  roamwise_win32_flags(${target})
  get_target_property(sources ${target} SOURCES)
  gtest_add_tests(TARGET ${target} SOURCES ${sources} ${ARGN})
endfunction()
