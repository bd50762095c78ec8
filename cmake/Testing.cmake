# Test helpers. Native tests run directly; Windows-side tests are cross-compiled
# GoogleTest programs that CTest runs under Wine through the emulator wrapper,
# inside one Xvfb and one persistent wineserver (the `wine` fixture).

# A sanitizer build of the native tests (preset `native-sanitize`) names and
# labels its tests apart, so both builds' tests stand side by side in one CTest run.
set(NATIVE_TEST_SUFFIX "" CACHE STRING "Appended to the name of every native test")
set(NATIVE_TEST_LABEL native CACHE STRING "CTest label of the native tests")

# add_native_test(NAME SOURCES ... LIBS ...)
function(add_native_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${name}${NATIVE_TEST_SUFFIX} COMMAND ${name})
  set_tests_properties(${name}${NATIVE_TEST_SUFFIX} PROPERTIES LABELS ${NATIVE_TEST_LABEL}
                       TIMEOUT 120)
endfunction()

# add_wine_test(NAME SOURCES ... LIBS ... [WIN98] [TIMEOUT s])
# WIN98 runs the program a second time under a name that Wine presents as
# Windows 98 (the 9x family). Test names end with WINE_TEST_SUFFIX.
function(add_wine_test name)
  cmake_parse_arguments(T "WIN98" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 180)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${name}${WINE_TEST_SUFFIX} COMMAND ${name})
  set(tests ${name}${WINE_TEST_SUFFIX})
  if(T_WIN98)
    add_custom_command(TARGET ${name} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${name}> $<TARGET_FILE_DIR:${name}>/${name}_win98.exe)
    add_test(NAME ${name}_win98${WINE_TEST_SUFFIX}
      COMMAND ${WINE_HARNESS_DIR}/wine-run.sh ${WINE_STATE_DIR} --win98 $<TARGET_FILE_DIR:${name}>/${name}_win98.exe)
    list(APPEND tests ${name}_win98${WINE_TEST_SUFFIX})
  endif()
  # One desktop, one registry, one restart list: a tree's Windows-side tests run
  # one at a time. The two trees' sessions are apart and may run side by side.
  set_tests_properties(${tests} PROPERTIES LABELS "wine;${WINE_ARCH_LABEL}" TIMEOUT ${T_TIMEOUT}
    FIXTURES_REQUIRED wine${WINE_TEST_SUFFIX} RESOURCE_LOCK wine_session${WINE_TEST_SUFFIX})
endfunction()
