# Sources of a folder: every .cpp and .h beside its CMakeLists.txt (subfolders not included).
function(quarno_sources out dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(${out} ${_src} PARENT_SCOPE)
endfunction()

# An include that climbs with "../" would reach past these roots; every build refuses one, before
# any target that has a root compiles.
add_custom_target(quarno_include_check ALL
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-includes.sh ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}
  COMMENT "Checking include paths"
  VERBATIM)

# Headers are included by their path from the project root ("datamodel/XelObject.h"), but the
# root itself is on no include path: each target gets a root of its own under the build tree that
# holds only its folders (linked, not copied). So a header is reachable only through the target
# that owns it and the targets it links, and a lower layer that includes an upper layer's header
# fails to build. Folders default to the current one.
function(quarno_include_root target scope)
  set(_dirs ${ARGN})
  if(NOT _dirs)
    set(_dirs ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(_root ${CMAKE_BINARY_DIR}/include/${target})
  foreach(_dir ${_dirs})
    file(RELATIVE_PATH _rel ${PROJECT_SOURCE_DIR} ${_dir})
    set(_link ${_root}/${_rel})
    get_filename_component(_parent ${_link} DIRECTORY)
    file(MAKE_DIRECTORY ${_parent})
    if(NOT IS_SYMLINK ${_link})
      file(CREATE_LINK ${_dir} ${_link} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} ${scope} $<BUILD_INTERFACE:${_root}>)
  add_dependencies(${target} quarno_include_check)
endfunction()

# One GoogleTest executable per test folder; tests run headless. TIMEOUT (seconds) ends each of
# its tests that runs longer, for folders whose tests hand pipes and devices to the code.
function(quarno_test_folder name)
  cmake_parse_arguments(T "" "TIMEOUT" "LIBS" ${ARGN})
  set(_timeout)
  if(T_TIMEOUT)
    set(_timeout TIMEOUT ${T_TIMEOUT})
  endif()
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  quarno_include_root(${name} PRIVATE)
  target_link_libraries(${name} PRIVATE testsupport ${T_LIBS} GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE QUARNO_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  # GoogleTest's expectation macros under a plain if read as a dangling else.
  target_compile_options(${name} PRIVATE -Wno-dangling-else)
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${_timeout}
    DISCOVERY_TIMEOUT 60)
  # The whole program once more in one process, its tests in a fixed shuffled order: a test that
  # leaves a timer, window or double behind for a later one fails here, where one test a process
  # hides it. Started first (high cost), so that the longest runs do not lengthen the tail.
  add_test(NAME ${name}.whole_shuffled COMMAND ${name} --gtest_shuffle --gtest_random_seed=52)
  set_tests_properties(${name}.whole_shuffled PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 900 COST 10000 LABELS whole)
endfunction()
