include(GoogleTest)
find_package(GTest REQUIRED)
find_package(Qt6 REQUIRED COMPONENTS Test)

# mw_add_gtest(<name> SOURCES ... LIBS ... [QT] [PROPERTIES ...])
#   QT: the test's main creates a QApplication (offscreen) before the tests run.
# Every test binary carries its sanitizer options (tests/support/SanitizerOptions.cpp) and a
# watchdog that stops a test running longer than 90 s, naming it (TestWatchdog.cpp), and knows
# the source tree (MW_SOURCE_DIR) and the test data folder (MW_TEST_DATA).
# With MW_TEST_PER_BINARY, CTest runs each test binary whole as one test (its output names
# every failing test) instead of one process per test: for the sanitizer builds, where a
# process start is dear.
option(MW_TEST_PER_BINARY "One CTest test per test binary" OFF)
function(mw_add_gtest name)
  cmake_parse_arguments(A "QT" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${A_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/SanitizerOptions.cpp
                 ${PROJECT_SOURCE_DIR}/tests/support/TestWatchdog.cpp)
  if(A_QT)
    target_link_libraries(${name} PRIVATE ${A_LIBS} mw_test_qtmain GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    MW_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    MW_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    MW_LSAN_SUPP="${PROJECT_SOURCE_DIR}/tests/lsan.supp")
  if(MW_TEST_PER_BINARY)
    add_test(NAME ${name} COMMAND ${name})
    # Each test inside stops at 90 s by its watchdog; the whole binary gets the sum it may need.
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 1200 ${A_PROPERTIES})
  else()
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 90 ${A_PROPERTIES})
  endif()
endfunction()

# mw_add_cupsd_fixture(<fixture> <script> <dir-variable>)
#   A set-up test that starts a private CUPS scheduler with <script> (start|stop <folder>)
#   and a clean-up test that stops it; <dir-variable> gets the scheduler's folder (its socket
#   is <folder>/cups.sock). The folder is named after the calling test folder's build folder.
function(mw_add_cupsd_fixture fixture script dirvar)
  string(MD5 hash "${CMAKE_CURRENT_BINARY_DIR}")
  string(SUBSTRING "${hash}" 0 12 hash)
  set(dir /tmp/mw-cupsd-${hash})
  add_test(NAME ${fixture}_cupsd_start COMMAND ${script} start ${dir})
  add_test(NAME ${fixture}_cupsd_stop COMMAND ${script} stop ${dir})
  set_tests_properties(${fixture}_cupsd_start PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 60)
  set_tests_properties(${fixture}_cupsd_stop PROPERTIES FIXTURES_CLEANUP ${fixture} TIMEOUT 60)
  set(${dirvar} ${dir} PARENT_SCOPE)
endfunction()
