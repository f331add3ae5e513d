# The component's own interfaces, which every layer above diagnostics declares
# its classes with: the type library (embedded in the DLL by server/), its C/C++
# header and the identifier definitions.
#
# Each bitness has its own library (SYS_WIN32 for x86, SYS_WIN64 for x64:
# cmake/Idl.cmake passes widl --win32 in the x86 tree). A library made at build
# time by a program run under Wine must, in the x86 tree, be made by the x64
# tree's program with the SYS_WIN32 argument, since 32-bit Wine is often missing:
# K1MRGRLS_X64_BUILD_DIR (top CMakeLists.txt) names that tree.
add_idl(${CMAKE_SOURCE_DIR}/server/K1MrgRls.idl TLB K1MrgRls.tlb
  DEPENDS ${HOST_TLB_K5TYPLIB} ${HOST_TLB_K1TYPLIB} ${CMAKE_SOURCE_DIR}/host/idl/K5TYPLIB.idl
          ${CMAKE_SOURCE_DIR}/host/idl/K1TypLib.idl)
add_custom_target(component_type_library DEPENDS ${K1MrgRls_TLB})
add_dependencies(component_type_library host_type_libraries)
set(K1MrgRls_TLB ${K1MrgRls_TLB} CACHE INTERNAL "")

add_library(component_interfaces STATIC ${K1MrgRls_IID_SOURCE})
target_include_directories(component_interfaces PUBLIC ${IDL_OUTPUT_DIR})
target_link_libraries(component_interfaces PUBLIC host_interfaces)
add_dependencies(component_interfaces component_type_library)
