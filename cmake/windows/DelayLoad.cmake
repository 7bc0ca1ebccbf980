# System DLLs that are not KnownDLLs are delay-loaded: the loader would
# otherwise resolve them before the program runs, searching the program's
# own directory first, and a file planted there would be taken. Delay-loaded,
# each is loaded at its first call, after the program has limited the search
# to System32 (ui/ApplicationWindows.cpp). KnownDLLs (kernel32, user32, gdi32,
# ws2_32, msvcrt, advapi32...) always come from System32 and stay imported.
#
# Each DLL named here becomes a target of the same name, so the link lines
# that name it (bcrypt, comctl32, crypt32, secur32) take the delay-loading import
# library instead of mingw's. A DLL the program comes to import is added to
# this list; tests/e2e/windows/ImportsOnlyKnownDlls.cmake fails otherwise.
set(VM_DELAY_LOADED_DLLS bcrypt comctl32 crypt32 secur32)

# The import library is made with binutils' dlltool from a module definition
# listing every function mingw's own import library has; the calls go through
# mingw's __delayLoadHelper2, which loads the DLL with the default search path.
# GNU ld (2.40) leaves the program's delay-import directory empty: Windows
# needs none, the helper finds its tables itself, but tools that read that
# directory (objdump -p among them) do not list these DLLs.
function(vm_delay_loaded_dll dll)
  find_library(VM_IMPORT_LIBRARY_${dll} ${dll} REQUIRED NO_CACHE)
  execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${VM_IMPORT_LIBRARY_${dll}}
    OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  # An import library's members each define the function's thunk ("T name")
  # beside its import address ("I __imp_name").
  string(REGEX MATCHALL "[^\n]* T [^\n]*" thunks "${symbols}")
  list(TRANSFORM thunks REPLACE "^.* T " "")
  list(REMOVE_DUPLICATES thunks)
  if(NOT thunks)
    message(FATAL_ERROR "no functions in ${VM_IMPORT_LIBRARY_${dll}}")
  endif()
  list(JOIN thunks "\n" exports)
  set(directory ${CMAKE_BINARY_DIR}/delay-load)
  file(WRITE ${directory}/${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
  execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${directory}/${dll}.def --dllname ${dll}.dll
    --output-delaylib ${directory}/lib${dll}_delay.a COMMAND_ERROR_IS_FATAL ANY)
  add_library(${dll} STATIC IMPORTED GLOBAL)
  set_target_properties(${dll} PROPERTIES IMPORTED_LOCATION ${directory}/lib${dll}_delay.a)
endfunction()

foreach(dll IN LISTS VM_DELAY_LOADED_DLLS)
  vm_delay_loaded_dll(${dll})
endforeach()
