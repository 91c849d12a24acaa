# Unit tests are GoogleTest programs built twice: natively (every case is a
# ctest entry of its own) and with MinGW (one ctest entry per program, run
# under Wine through CMAKE_CROSSCOMPILING_EMULATOR).
option(QUORVALLIS_BUILD_TESTS "Build the tests" ON)
if(QUORVALLIS_BUILD_TESTS)
  enable_testing()
  include(GoogleTest)
  if(CMAKE_CROSSCOMPILING)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# The sanitizer tree (build/sanitize, made by scripts/test.sh): the native unit
# tests, and the code they test, under AddressSanitizer and
# UndefinedBehaviorSanitizer, where every fault ends the test. The standard
# library checks its indexes too: an index one past the end of a vector stays
# inside its allocation, where AddressSanitizer does not look.
option(QUORVALLIS_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QUORVALLIS_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -O1)
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
  add_link_options(-fsanitize=address,undefined)
endif()

# Tests that take the keyboard focus or the pointer, open menus or install a
# system-wide hook run one at a time on a desktop of their own: a display and
# a Wine prefix that scripts/test.sh sets up (scripts/wine-run.sh picks them),
# beside the end-to-end tests on theirs.
function(quorvallis_gui_desktop)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT QUORVALLIS_DESKTOP=gui)
  set_property(TEST ${ARGN} APPEND PROPERTY RESOURCE_LOCK gui-desktop)
endfunction()

# quorvallis_add_unit_test(NAME SOURCES files... [LIBS libs...] [ENVIRONMENT k=v...])
function(quorvallis_add_unit_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE quorvallis_core GTest::gtest_main ${T_LIBS})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME wine.${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(wine.${name} PROPERTIES LABELS "wine;unit" TIMEOUT 300
      ENVIRONMENT "${T_ENVIRONMENT}")
  elseif(QUORVALLIS_SANITIZE)
    # One label only: the properties given here cannot carry a list.
    gtest_discover_tests(${name} TEST_PREFIX "asan.${name}." NO_PRETTY_VALUES PROPERTIES LABELS asan
      ENVIRONMENT "${T_ENVIRONMENT}" DISCOVERY_TIMEOUT 60)
  else()
    gtest_discover_tests(${name} TEST_PREFIX "${name}." NO_PRETTY_VALUES PROPERTIES LABELS unit
      ENVIRONMENT "${T_ENVIRONMENT}" DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
