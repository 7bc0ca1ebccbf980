# vm_header_order_check: every header of platform/ that both systems share,
# compiled after the system headers whose macros once took names of ours
# (FD_READ, WM_TIMER, WSAEWOULDBLOCK). A shared header that declares a name
# those headers define fails the build here, not only in whichever file
# happens to include the two in that order one day.
file(GLOB_RECURSE vm_shared_headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/platform/*.h)
list(FILTER vm_shared_headers EXCLUDE REGEX "(Windows|Linux)\\.h$")

if(WIN32)
  set(vm_system_headers <winsock2.h> <ws2tcpip.h> <windows.h> <errno.h>)
else()
  set(vm_system_headers <errno.h> <netdb.h> <sys/socket.h>)
endif()

set(vm_header_order_units)
foreach(header IN LISTS vm_shared_headers)
  string(MAKE_C_IDENTIFIER ${header} unit)
  set(unit ${CMAKE_CURRENT_BINARY_DIR}/header_order/${unit}.cpp)
  # Rewritten only when its text changes, so a new configure rebuilds nothing.
  file(CONFIGURE OUTPUT ${unit} CONTENT "#include \"${header}\"\n" @ONLY)
  list(APPEND vm_header_order_units ${unit})
endforeach()

add_library(vm_header_order_check OBJECT ${vm_header_order_units})
# The system headers come first in every unit as one precompiled header:
# windows.h alone costs seconds a unit.
target_precompile_headers(vm_header_order_check PRIVATE ${vm_system_headers})
# A macro our header redefined would only be warned of.
target_compile_options(vm_header_order_check PRIVATE -Werror)
