# The component's own interfaces, which every layer above diagnostics declares
# its classes with: the type library (embedded in the DLL by server/), its C/C++
# header and the identifier definitions.
#
# widl compiles the IDL into the header, the identifiers and a first library,
# K1MrgRls.declared.tlb, which holds copies of the host's interfaces that the
# coclasses list. write_type_library, run under Wine, turns it into K1MrgRls.tlb,
# whose coclasses refer into the host's libraries instead.
add_idl(${CMAKE_SOURCE_DIR}/server/K1MrgRls.idl TLB K1MrgRls.declared.tlb
  DEPENDS ${HOST_TLB_K5TYPLIB} ${HOST_TLB_K1TYPLIB} ${CMAKE_SOURCE_DIR}/host/idl/K5TYPLIB.idl
          ${CMAKE_SOURCE_DIR}/host/idl/K1TypLib.idl)
set(K1MrgRls_DECLARED_TLB ${K1MrgRls_TLB})
set(K1MrgRls_TLB ${IDL_OUTPUT_DIR}/K1MrgRls.tlb)
add_custom_target(component_declarations DEPENDS ${K1MrgRls_DECLARED_TLB} ${K1MrgRls_HEADER})
add_dependencies(component_declarations host_type_libraries)

# A tree whose programs cannot run here (no 32-bit Wine for an x86 tree) names
# the generator of another tree; the generator writes either platform's library.
set(K1MRGRLS_TLB_GENERATOR "" CACHE FILEPATH
    "write_type_library.exe to run under Wine (empty: the one built in this tree)")
add_subdirectory(${CMAKE_SOURCE_DIR}/tools ${CMAKE_BINARY_DIR}/tools)
if(K1MRGRLS_TLB_GENERATOR)
  set_target_properties(write_type_library PROPERTIES EXCLUDE_FROM_ALL TRUE)
  set(tlb_generator ${K1MRGRLS_TLB_GENERATOR})
  set(tlb_generator_dependency ${K1MRGRLS_TLB_GENERATOR})
else()
  set(tlb_generator $<TARGET_FILE:write_type_library>)
  set(tlb_generator_dependency write_type_library)
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(tlb_platform SYS_WIN32)
else()
  set(tlb_platform SYS_WIN64)
endif()

# The imported libraries are named as the library records them: stdole2.tlb from
# Wine's system folder, the host's from IDL_OUTPUT_DIR, the working directory.
set(tlb_prefix ${CMAKE_BINARY_DIR}/wineprefix)
add_custom_command(
  OUTPUT ${K1MrgRls_TLB}
  COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/wine-prefix.sh create ${tlb_prefix}
  COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${tlb_prefix} ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh
          ${tlb_generator} ${tlb_platform} K1MrgRls.declared.tlb K1MrgRls.tlb stdole2.tlb K5TYPLIB.dll K1TypLib.tlb
  DEPENDS ${K1MrgRls_DECLARED_TLB} ${HOST_TLB_K5TYPLIB} ${HOST_TLB_K1TYPLIB} ${tlb_generator_dependency}
  WORKING_DIRECTORY ${IDL_OUTPUT_DIR}
  COMMENT "write_type_library K1MrgRls.tlb (${tlb_platform})"
  VERBATIM)

add_custom_target(component_type_library DEPENDS ${K1MrgRls_TLB})
add_dependencies(component_type_library host_type_libraries)
set(K1MrgRls_TLB ${K1MrgRls_TLB} CACHE INTERNAL "")

add_library(component_interfaces STATIC ${K1MrgRls_IID_SOURCE})
target_include_directories(component_interfaces PUBLIC ${IDL_OUTPUT_DIR})
target_link_libraries(component_interfaces PUBLIC host_interfaces)
add_dependencies(component_interfaces component_declarations)
