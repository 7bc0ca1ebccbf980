# What only the Windows build has: the manifest, the delayed loads, and
# GoogleTest built with this toolchain for the tests that run under wine. The
# folders themselves come from the top CMakeLists.txt, as for Linux.

# mingw's C library offers the POSIX localtime_r only when asked.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS=200112L)

# Every executable carries the manifest that runs it with the user's rights.
set(VM_WINDOWS_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/asInvoker.rc)
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I ${CMAKE_CURRENT_LIST_DIR}")
function(vm_windows_executable name)
  target_sources(${name} PRIVATE ${VM_WINDOWS_MANIFEST})
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/DelayLoad.cmake)

# GoogleTest from Debian's sources, built with this toolchain.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(library gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${library})
    add_library(GTest::${library} ALIAS ${library})
  endif()
endforeach()

# Tests are listed when they run, not at build time: nothing runs under wine
# while building.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
