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

# Tests of a Windows build run under Wine. Where the machine cannot run 32-bit
# programs, a test that needs a 32-bit Wine process prints "SKIP: ..." and
# exits 77 (tools/wine-run does so itself; a script that starts Wine is
# prefixed with VELK_NEEDS_32BIT in the 32-bit build), and CTest reports it as
# skipped: velk_skippable(test...) gives a test of a Windows build that code.
set(VELK_NEEDS_32BIT "")
if(CMAKE_CROSSCOMPILING AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VELK_NEEDS_32BIT ${PROJECT_SOURCE_DIR}/tools/can-run-32bit --)
endif()

function(velk_skippable)
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${ARGN} PROPERTIES SKIP_RETURN_CODE 77)
  endif()
endfunction()

# velk_test(NAME name SOURCES ... LIBS ...): one test binary, one CTest entry.
function(velk_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  velk_target_defaults(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${VELK_GTEST})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 600)
  velk_skippable(${T_NAME})
endfunction()

# velk_fuzzer(NAME name SOURCES ... [LIBS ...] [SEEDS dir-or-file ...] [SECONDS n] [MAX_LEN n]):
# a libFuzzer target and its CTest run for a bounded time, in the fuzz preset
# only. The fuzz preset compiles everything with coverage instrumentation
# (-fsanitize=fuzzer-no-link), so libraries a fuzzer links are seen by it.
# tools/run-fuzzer keeps each run's figures (runs, coverage) for tools/test-all.
function(velk_fuzzer)
  if(NOT VELK_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "NAME;SECONDS;MAX_LEN" "SOURCES;LIBS;SEEDS" ${ARGN})
  if(NOT F_SECONDS)
    set(F_SECONDS 30)
  endif()
  if(NOT F_MAX_LEN)
    set(F_MAX_LEN 4096)
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  set_property(GLOBAL APPEND PROPERTY VELK_FUZZERS ${F_NAME})
  velk_target_defaults(${F_NAME})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  # Seeds are copied into one folder the fuzzer only reads; what it finds goes
  # to a work folder of its own.
  set(seeds ${CMAKE_CURRENT_BINARY_DIR}/${F_NAME}_seeds)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${F_NAME}_work)
  file(MAKE_DIRECTORY ${seeds} ${work})
  foreach(seed ${F_SEEDS})
    if(IS_DIRECTORY ${seed})
      file(GLOB files ${seed}/*)
    else()
      file(GLOB files ${seed})
    endif()
    if(files)
      file(COPY ${files} DESTINATION ${seeds})
    endif()
  endforeach()
  add_test(NAME ${F_NAME}
    COMMAND ${PROJECT_SOURCE_DIR}/tools/run-fuzzer ${CMAKE_BINARY_DIR}/fuzz-stats/${F_NAME}.txt
            $<TARGET_FILE:${F_NAME}> -max_total_time=${F_SECONDS} -max_len=${F_MAX_LEN} -timeout=10
            -rss_limit_mb=2048 -print_final_stats=1 ${work} ${seeds})
  math(EXPR timeout "${F_SECONDS} * 2 + 120")
  set_tests_properties(${F_NAME} PROPERTIES TIMEOUT ${timeout} LABELS fuzz)
endfunction()

# velk_standin_test(NAME name SOURCES ... LIBS ... [DEFINITIONS ...] [DEPENDS ...]):
# a velk_test that needs the stand-ins' controls (scripted failures, machine
# fields, the window tree), so it exists only in the native builds.
function(velk_standin_test)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;DEFINITIONS;DEPENDS" ${ARGN})
  velk_test(NAME ${T_NAME} SOURCES ${T_SOURCES} LIBS ${T_LIBS})
  if(T_DEFINITIONS)
    target_compile_definitions(${T_NAME} PRIVATE ${T_DEFINITIONS})
  endif()
  if(T_DEPENDS)
    add_dependencies(${T_NAME} ${T_DEPENDS})
  endif()
endfunction()

# velk_benchmark(NAME name SOURCES ... LIBS ... [GOOGLE] [WINDOWS] [WINDOWS_LIBS ...]):
# a benchmark program, run by hand, built when VELK_BENCH is on. GOOGLE links
# Google Benchmark (native builds only); WINDOWS builds it for Windows too, to
# be run under Wine beside the system's own libraries.
function(velk_benchmark)
  cmake_parse_arguments(B "GOOGLE;WINDOWS" "NAME" "SOURCES;LIBS;WINDOWS_LIBS" ${ARGN})
  if(NOT VELK_BENCH OR (CMAKE_CROSSCOMPILING AND NOT B_WINDOWS))
    return()
  endif()
  add_executable(${B_NAME} ${B_SOURCES})
  velk_target_defaults(${B_NAME})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS})
  if(B_GOOGLE)
    find_package(benchmark REQUIRED)
    target_link_libraries(${B_NAME} PRIVATE benchmark::benchmark)
  endif()
  if(WIN32 AND B_WINDOWS_LIBS)
    target_link_libraries(${B_NAME} PRIVATE ${B_WINDOWS_LIBS})
  endif()
endfunction()
