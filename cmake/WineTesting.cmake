# Windows test programs run under Wine when cross-built on Linux.
if(CMAKE_HOST_UNIX)
  set(ROAMWISE_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
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
