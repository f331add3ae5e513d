# The CPack zip holds what `cmake --install` lays out (see server/CMakeLists.txt).
# The x64 tree's layout and zip carry both bitnesses: its install takes the x86
# tree's `binaries` (bin/x86, lib/x86), which must be built first.
if(K1MRGRLS_ARCH STREQUAL "x64")
  install(CODE "
    if(NOT EXISTS \"${K1MRGRLS_X86_BUILD_DIR}/server/K1MrgRls.dll\")
      message(FATAL_ERROR \"No x86 build in ${K1MRGRLS_X86_BUILD_DIR}: run scripts/build.sh, or cmake --preset mingw-x86 && cmake --build --preset mingw-x86\")
    endif()
    execute_process(COMMAND \"${CMAKE_COMMAND}\" --install \"${K1MRGRLS_X86_BUILD_DIR}\" --component binaries
                            --prefix \"\${CMAKE_INSTALL_PREFIX}\" RESULT_VARIABLE status OUTPUT_QUIET)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR \"Installing the x86 tree's binaries failed\")
    endif()")
  set(CPACK_PACKAGE_FILE_NAME K1MrgRls-${PROJECT_VERSION}-x86-x64)
else()
  set(CPACK_PACKAGE_FILE_NAME K1MrgRls-${PROJECT_VERSION}-x86)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME K1MrgRls)
set(CPACK_PACKAGE_VENDOR Korvath)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
