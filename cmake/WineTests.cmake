# Wine prefixes for the Windows tests. Every Wine process of a test runs
# under the time limit of CMAKE_CROSSCOMPILING_EMULATOR (cmake/mingw-i686.cmake);
# each test's own TIMEOUT is longer than all its limited steps together, so
# a test that fails ends with its own message, not ctest's.

# A Wine prefix of the build's own, made once by a setup test before the
# tests that name FIXTURE in FIXTURES_REQUIRED and run with WINEPREFIX=DIR.
function(add_wine_prefix fixture dir)
  add_test(NAME ${fixture} COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/make-wine-prefix.sh ${CMAKE_CROSSCOMPILING_EMULATOR})
  set_tests_properties(${fixture} PROPERTIES FIXTURES_SETUP ${fixture} RESOURCE_LOCK ${fixture}
                       ENVIRONMENT "WINEPREFIX=${dir};LC_ALL=C.UTF-8" TIMEOUT 360)
endfunction()

set(WINE_TEST_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
add_wine_prefix(wine_prefix ${WINE_TEST_PREFIX})

# The prefix script on folders it did not make: the user's files stay.
add_test(NAME wine_prefix_foreign COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/tests/make-wine-prefix-test.sh
         ${CMAKE_BINARY_DIR}/wine_prefix_foreign ${CMAKE_CROSSCOMPILING_EMULATOR})
set_tests_properties(wine_prefix_foreign PROPERTIES ENVIRONMENT LC_ALL=C.UTF-8 TIMEOUT 360)
