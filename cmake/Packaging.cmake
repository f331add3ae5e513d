# The CPack zip holds what `cmake --install` lays out (see server/CMakeLists.txt).
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME K1MrgRls)
set(CPACK_PACKAGE_VENDOR Korvath)
set(CPACK_PACKAGE_FILE_NAME K1MrgRls-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
