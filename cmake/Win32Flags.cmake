# Unicode, static, loadable on Windows 2000: flags for every Windows target.
function(roamwise_win32_flags target)
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                             _WIN32_WINNT=0x0500 WINVER=0x0500 _WIN32_IE=0x0600)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /utf-8)
    set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -ffunction-sections -fdata-sections)
    # Only what is used of the static run-time libraries stays in the program.
    target_link_options(${target} PRIVATE -static -Wl,--gc-sections)
  endif()
endfunction()

# wWinMain entry point for a GUI program.
function(roamwise_win32_gui_entry target)
  if(MSVC)
    target_link_options(${target} PRIVATE /ENTRY:wWinMainCRTStartup)
  else()
    target_link_options(${target} PRIVATE -municode -mwindows)
  endif()
endfunction()

# wmain entry point for a console program that takes wide arguments.
function(roamwise_win32_wide_console_entry target)
  if(MSVC)
    target_link_options(${target} PRIVATE /ENTRY:wmainCRTStartup)
  else()
    target_link_options(${target} PRIVATE -municode)
  endif()
endfunction()
