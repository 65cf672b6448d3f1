# Puts beside the Windows programs (in the one output folder, where the test programs lie too)
# what the windowed program needs on a PC without Qt or a compiler: Qt's DLLs, the platform
# plugins (windows for the desktop, offscreen for the tests without a display), the Windows Vista
# style and the compiler's runtime DLLs that Qt's DLLs were linked with (our own programs carry
# theirs inside). The user manual goes into the installer only, so that the tests here see the
# program as it is without it.

set(deployDir ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(runtimeDlls)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "The compiler's runtime ${dll} that Qt needs was not found")
  endif()
  list(APPEND runtimeDlls ${path})
endforeach()

set(deployCommands
  COMMAND ${CMAKE_COMMAND} -E make_directory ${deployDir}/platforms ${deployDir}/styles
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
          ${runtimeDlls} ${deployDir}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
          $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin> ${deployDir}/platforms
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> ${deployDir}/styles)
add_custom_target(windows-deploy ALL ${deployCommands}
  COMMENT "Putting Qt, its plugins and the compiler's runtime beside the Windows programs"
  VERBATIM)
