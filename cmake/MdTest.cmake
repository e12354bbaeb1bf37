# md_test(<name> SOURCES ... [LIBS ...] [QT])
# One GoogleTest executable; each test case is registered with CTest and runs
# with the offscreen Qt platform. QT gives it the main that creates a QApplication.
function(md_test name)
  cmake_parse_arguments(T "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_QT)
    target_link_libraries(${name} PRIVATE md_testing_qt_main)
  else()
    target_link_libraries(${name} PRIVATE md_testing_main)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} md_testing GTest::gtest GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1")
endfunction()
