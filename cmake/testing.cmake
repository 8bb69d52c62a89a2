# GoogleTest: the system package natively; built from Debian's sources
# (/usr/src/googletest) for the Windows builds, run there under Wine through
# CMAKE_CROSSCOMPILING_EMULATOR.
if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(VELK_GTEST gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  set(VELK_GTEST GTest::gtest GTest::gtest_main)
endif()

# velk_test(NAME name SOURCES ... LIBS ...): one test binary, one CTest entry.
function(velk_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  velk_target_defaults(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${VELK_GTEST})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 600)
endfunction()
