# Fails when PROGRAM imports a DLL that is not a KnownDLL: the loader would
# resolve it before the program runs, from the program's directory first.
# Such a DLL joins VM_DELAY_LOADED_DLLS (cmake/windows/DelayLoad.cmake).
# Run as: cmake -DPROGRAM=vm_ver32.exe -DOBJDUMP=x86_64-w64-mingw32-objdump -P ImportsOnlyKnownDlls.cmake
cmake_minimum_required(VERSION 3.25)

# The KnownDLLs among those a program of ours may import, as Windows 10 and
# 11 list them (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs).
set(known_dlls advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll user32.dll ws2_32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
if(NOT imports)
  message(FATAL_ERROR "no imports read from ${PROGRAM}")
endif()
set(searched "")
foreach(dll IN LISTS imports)
  string(TOLOWER "${dll}" name)
  if(NOT name IN_LIST known_dlls)
    list(APPEND searched ${dll})
  endif()
endforeach()
if(searched)
  message(FATAL_ERROR "${PROGRAM} imports DLLs that are searched for in its directory: ${searched}")
endif()
message(STATUS "imports: ${imports}")
