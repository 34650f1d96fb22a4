# The end-to-end driver library and the netsh double; the benchmarks use them
# too, also when the tests are not configured.
if(NOT TARGET netsh_double)
  add_executable(netsh_double ${CMAKE_SOURCE_DIR}/tests/e2e/netsh_double.cpp)
  roamwise_win32_flags(netsh_double)
  roamwise_win32_wide_console_entry(netsh_double)
endif()

# The driver: starts the program, finds and works its windows.
if(NOT TARGET e2e_driver)
  add_library(e2e_driver STATIC ${CMAKE_SOURCE_DIR}/tests/e2e/driver.cpp)
  target_include_directories(e2e_driver PUBLIC ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR}/src/win32)
  target_link_libraries(e2e_driver PUBLIC iphlpapi advapi32 user32 gdi32 kernel32)
  roamwise_win32_flags(e2e_driver)
endif()
