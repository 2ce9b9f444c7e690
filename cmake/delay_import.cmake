# Delay-loaded system libraries. The program imports a library that Windows does not always
# take from its own folder through a delay-import library: its functions are called as usual,
# and the library is loaded at the first call by the delay-load hook of host/system_library.cpp,
# by full path from the system folder.
#
# orb_delay_import(<target> <dll>) makes the imported target <target>, an import library
# with every function that the toolchain's own import library of <dll> has, for linking in
# place of that library.
function(orb_delay_import target dll)
  string(TOLOWER "${dll}" stem)
  string(REGEX REPLACE "\\.dll$" "" stem "${stem}")
  find_library(ORB_IMPORT_LIB_${stem} NAMES lib${stem}.a REQUIRED)
  set(import_lib ${ORB_IMPORT_LIB_${stem}})
  set(def ${CMAKE_BINARY_DIR}/delay/${stem}.def)
  set(delay_lib ${CMAKE_BINARY_DIR}/delay/lib${stem}_delay.a)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # 32-bit: the functions are stdcall, named with their argument size (_Name@N); dlltool's
    # library is rebuilt so that the linker keeps the code the call slots point to.
    find_package(Python3 COMPONENTS Interpreter REQUIRED)
    set(lib_command ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/delay_import_i386.py
      ${def} ${dll} ${delay_lib} ${CMAKE_DLLTOOL} ${CMAKE_AR} ${CMAKE_NM})
    set(lib_depends ${CMAKE_SOURCE_DIR}/cmake/delay_import_i386.py)
    set(strip "s/^_//")
  else()
    set(lib_command ${CMAKE_DLLTOOL} -m i386:x86-64 --input-def ${def} --dllname ${dll}
      --output-delaylib ${delay_lib})
    set(lib_depends)
    set(strip "")
  endif()
  add_custom_command(OUTPUT ${delay_lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delay
    COMMAND sh -c "{ echo 'LIBRARY ${dll}'; echo EXPORTS; '${CMAKE_NM}' '${import_lib}' | sed -n 's/^.* I __imp_//p' | sed '${strip}' | sort -u; } > '${def}'"
    COMMAND ${lib_command}
    DEPENDS ${import_lib} ${CMAKE_CURRENT_FUNCTION_LIST_FILE} ${lib_depends}
    COMMENT "Delay-import library of ${dll}"
    VERBATIM)
  add_custom_target(${target}_build DEPENDS ${delay_lib})
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${delay_lib})
  # The helper that the calls go through, __delayLoadHelper2, is the run time's (mingwex).
  add_dependencies(${target} ${target}_build)
endfunction()
