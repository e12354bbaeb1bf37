# md_test(<name> SOURCES ... [LIBS ...] [QT] [SERIAL])
# One GoogleTest executable; each test case is registered with CTest and runs
# with the offscreen Qt platform. QT gives it the main that creates a QApplication.
# SERIAL runs its cases alone, for those that measure how the event loop keeps
# up and would measure the machine's other tests instead.
function(md_test name)
  cmake_parse_arguments(T "QT;SERIAL" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_QT)
    target_link_libraries(${name} PRIVATE md_testing_qt_main)
  else()
    target_link_libraries(${name} PRIVATE md_testing_main)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} md_testing GTest::gtest GTest::gmock)
  set(serial FALSE)
  if(T_SERIAL)
    set(serial TRUE)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1" RUN_SERIAL ${serial})
endfunction()
