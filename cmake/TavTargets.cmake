# Helpers shared by every folder's CMakeLists.txt.
#
#   tav_add_library(<name> [SHARED|STATIC] SOURCES ... [DEPS ...] [QT])
#     Builds library Tav<name> with alias tav::<lower-name>; the repository root is the include root,
#     so headers are included as "platform/base/KvStrings.h" or "TavDataManager/config/...".
#   tav_add_test(<name> SOURCES ... DEPS ...)
#     Builds a GoogleTest program bin/tests/<name> and registers its cases with CTest.
#   tav_add_subdirectory_if_present(<dir>)

function(tav_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  if(TAV_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(TAV_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

function(tav_add_library name)
  cmake_parse_arguments(ARG "SHARED;STATIC" "ALIAS" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  set(kind SHARED)
  if(ARG_STATIC)
    set(kind STATIC)
  endif()
  add_library(${name} ${kind} ${ARG_SOURCES})
  string(TOLOWER ${name} lower)
  if(ARG_ALIAS)
    set(lower ${ARG_ALIAS})
  endif()
  add_library(tav::${lower} ALIAS ${name})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  tav_set_warnings(${name})
endfunction()

function(tav_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TAV_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TAV_MAIN_DIR="${TAV_MAIN_DIR}"
    TAV_BINARY_DIR="${CMAKE_BINARY_DIR}")
  tav_set_warnings(${name})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TAV_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp")
endfunction()

function(tav_add_subdirectory_if_present dir)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endfunction()
