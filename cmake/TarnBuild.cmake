# Build helpers shared by every folder.

# The framework DLLs share one C++ runtime, so the toolchain's runtime DLLs ship beside them.
# The GCC support library is named after the arch's exception model: SEH on x86-64, DWARF on x86.
set(TARN_TOOL_PREFIX ${TARN_ARCH}-w64-mingw32)
if(TARN_ARCH STREQUAL "x86_64")
  set(TARN_RUNTIME_DLLS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  set(TARN_WIDL_ARCH --win64)
else()
  set(TARN_RUNTIME_DLLS libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
  set(TARN_WIDL_ARCH --win32)
endif()
# zlib for the chosen arch, from Debian's mingw-w64 zlib package.
set(TARN_ZLIB /usr/${TARN_TOOL_PREFIX}/lib/libz.a)

function(tarn_copy_runtime_dlls)
  foreach(dll ${TARN_RUNTIME_DLLS})
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT EXISTS "${path}")
      file(GLOB_RECURSE candidates /usr/lib/gcc/${TARN_TOOL_PREFIX}/*posix/${dll} /usr/${TARN_TOOL_PREFIX}/lib/${dll})
      list(GET candidates 0 path)
    endif()
    if(NOT EXISTS "${path}")
      message(FATAL_ERROR "Runtime DLL ${dll} not found")
    endif()
    file(COPY ${path} DESTINATION ${TARN_BIN_DIR})
  endforeach()
endfunction()
tarn_copy_runtime_dlls()

# widl needs the Windows IDL files that libwine-dev installs, and stdole2.tlb from Wine's libraries of the arch.
find_program(TARN_WIDL NAMES ${TARN_TOOL_PREFIX}-widl widl REQUIRED)
find_path(TARN_WINE_IDL_DIR NAMES unknwn.idl oaidl.idl
          PATHS /usr/include/wine/windows /usr/include/wine/wine/windows NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(TARN_STDOLE_DIR NAMES stdole2.tlb
          PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows
                /usr/lib/wine/x86_64-windows /usr/lib/wine/i386-windows
                /usr/lib/i386-linux-gnu/wine /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH REQUIRED)

# tarn_add_idl(<target> <file.idl> [TLB])
# Generates <name>.h and <name>_i.c (interface ids) from an IDL file, and <name>.tlb with TLB.
# Adds the generated folder to <target>'s include path and compiles the id file into it.
function(tarn_add_idl target idl)
  cmake_parse_arguments(ARG "TLB" "" "" ${ARGN})
  get_filename_component(name ${idl} NAME_WE)
  get_filename_component(idl_abs ${idl} ABSOLUTE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/idl)
  file(MAKE_DIRECTORY ${out})
  set(outputs ${out}/${name}.h ${out}/${name}_i.c)
  set(tlb_args)
  if(ARG_TLB)
    list(APPEND outputs ${out}/${name}.tlb)
    set(tlb_args -t -T ${out}/${name}.tlb)
  endif()
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${TARN_WIDL} ${TARN_WIDL_ARCH} -I ${TARN_WINE_IDL_DIR} -I ${CMAKE_CURRENT_SOURCE_DIR} -L ${TARN_STDOLE_DIR}
            -h -H ${out}/${name}.h -u -U ${out}/${name}_i.c ${tlb_args} ${idl_abs}
    DEPENDS ${idl_abs}
    COMMENT "widl ${name}.idl")
  target_sources(${target} PRIVATE ${out}/${name}.h ${out}/${name}_i.c)
  target_include_directories(${target} PUBLIC ${out})
  set_property(TARGET ${target} APPEND PROPERTY TARN_IDL_OUTPUTS ${outputs})
endfunction()

# tarn_dll_link_options(<target>): a DLL with a .def file or plain exports, no lib prefix.
function(tarn_no_lib_prefix target)
  set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "")
endfunction()
