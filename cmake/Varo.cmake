if(CMAKE_CROSSCOMPILING AND WIN32)
  # Built for the target from the sources Debian ships (package googletest).
  set(VARO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, built for a cross target")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VARO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
find_package(Threads REQUIRED)

# varo_gtest(<name> SOURCES ... [LIBS ...] [LABELS <one label>] [PORTS <COMa> <COMb>])
# Qt tests run on the offscreen platform so they never need a display. Under Wine, PORTS gives
# the program a COM pair joined back to back (tests/windows/with_ports.sh).
function(varo_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;PORTS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock Threads::Threads)
  if(NOT "GTest::gtest_main" IN_LIST ARG_LIBS AND NOT "varo_qt_test_main" IN_LIST ARG_LIBS)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  # gtest_discover_tests would split a list of labels into the PROPERTIES pairs and lose the
  # environment, so one label per test program.
  list(LENGTH ARG_LABELS label_count)
  if(label_count GREATER 1)
    message(FATAL_ERROR "varo_gtest(${name}): give at most one label")
  endif()
  if(CMAKE_CROSSCOMPILING)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-reports)
    # One run per program under the emulator: starting it per case would cost more than the cases.
    # The XML reports are what the summary of the run counts.
    set(report "--gtest_output=xml:${VARO_TEST_REPORTS}\\${name}.xml")
    if(ARG_PORTS)
      add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tests/windows/with_ports.sh ${VARO_WINE_PREFIX} ${ARG_PORTS}
                                    $<TARGET_FILE:${name}> ${report})
    else()
      add_test(NAME ${name} COMMAND ${name} ${report})
    endif()
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 600)
  else()
    gtest_discover_tests(${name}
      PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# Tests subfolders come and go with the areas; add whichever exist.
function(varo_add_subdirectories)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# varo_fuzzer(<name> SOURCES ... [LIBS ...]): a libFuzzer target, built only with VARO_FUZZ=ON.
function(varo_fuzzer name)
  if(NOT VARO_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()
