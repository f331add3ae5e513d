# Compiles IDL with widl into a type library, a C/C++ header and the identifier
# definitions. The Windows IDL files come from Wine's development package and
# stdole2.tlb from Wine itself; both are found here rather than hard-coded.
find_program(WIDL NAMES x86_64-w64-mingw32-widl widl REQUIRED)
find_path(WINE_IDL_DIR oaidl.idl
  PATHS /usr/include/wine/wine/windows /usr/include/wine/windows /usr/include/wine-development/windows
  NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(WINE_STDOLE_DIR stdole2.tlb
  PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows /usr/lib64/wine/x86_64-windows
  NO_CMAKE_FIND_ROOT_PATH REQUIRED)

# Type libraries are made for the target's bitness: their platform (SYS_WIN32 or
# SYS_WIN64) and pointer sizes differ. The x86_64 widl makes win64 by default.
set(WIDL_PLATFORM "")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(WIDL_PLATFORM --win32)
endif()

set(IDL_OUTPUT_DIR ${CMAKE_BINARY_DIR}/idl)
file(MAKE_DIRECTORY ${IDL_OUTPUT_DIR})

# add_idl(<idl file> TLB <type library file name> [DEPENDS <files>...])
# Sets <name>_TLB, <name>_HEADER and <name>_IID_SOURCE, <name> being the IDL's base name.
function(add_idl idl_file)
  cmake_parse_arguments(ARG "" "TLB" "DEPENDS;INCLUDES" ${ARGN})
  get_filename_component(name ${idl_file} NAME_WE)
  get_filename_component(idl_path ${idl_file} ABSOLUTE)
  set(tlb ${IDL_OUTPUT_DIR}/${ARG_TLB})
  set(header ${IDL_OUTPUT_DIR}/${name}.h)
  set(iids ${IDL_OUTPUT_DIR}/${name}_i.c)
  set(include_flags -I${WINE_IDL_DIR} -I${CMAKE_SOURCE_DIR}/host/idl)
  foreach(dir ${ARG_INCLUDES})
    list(APPEND include_flags -I${dir})
  endforeach()
  add_custom_command(
    OUTPUT ${tlb} ${header} ${iids}
    COMMAND ${WIDL} ${WIDL_PLATFORM} ${include_flags} -L${WINE_STDOLE_DIR} -L${IDL_OUTPUT_DIR}
            -t -h -u -T ${tlb} -H ${header} -U ${iids} ${idl_path}
    DEPENDS ${idl_path} ${ARG_DEPENDS}
    WORKING_DIRECTORY ${IDL_OUTPUT_DIR}
    COMMENT "widl ${name}.idl"
    VERBATIM)
  set(${name}_TLB ${tlb} PARENT_SCOPE)
  set(${name}_HEADER ${header} PARENT_SCOPE)
  set(${name}_IID_SOURCE ${iids} PARENT_SCOPE)
endfunction()
