# Sources of a folder: every .cpp and .h beside its CMakeLists.txt (subfolders not included).
function(quarno_sources out dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(${out} ${_src} PARENT_SCOPE)
endfunction()

# One GoogleTest executable per test folder; tests run headless.
function(quarno_test_folder name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_link_libraries(${name} PRIVATE testsupport ${T_LIBS} GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE QUARNO_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  # GoogleTest's expectation macros under a plain if read as a dangling else.
  target_compile_options(${name} PRIVATE -Wno-dangling-else)
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()
