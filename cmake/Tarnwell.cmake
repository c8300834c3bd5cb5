# Shared build settings and helpers of the Tarnwell tree.

set(TARNWELL_WARNINGS -Wall -Wextra -Werror)
# GCC 12 at -O3 reports overlapping copies inside libstdc++'s string code
# (-Wrestrict) that cannot happen; the warning stays on for other compilers.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND TARNWELL_WARNINGS -Wno-restrict)
endif()

if(TARNWELL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# ThreadSanitizer, for a build of the communication loop's tests alone
# (scripts/test.sh builds the target comm_tsan_tests with it).
if(TARNWELL_TSAN)
  if(TARNWELL_SANITIZE)
    message(FATAL_ERROR "TARNWELL_TSAN and TARNWELL_SANITIZE exclude each other")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(TARNWELL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TARNWELL_FUZZ needs clang")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# tarnwell_add_library(NAME [DEPS dep...])
# A static library made of every .cpp in the calling folder (new files are picked up
# when the build runs, so adding a file needs no edit here).
function(tarnwell_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_compile_options(${name} PRIVATE ${TARNWELL_WARNINGS})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    if(ARG_DEPS)
      target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    if(ARG_DEPS)
      target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    endif()
  endif()
endfunction()

# tarnwell_add_test_suite(NAME [DEPS dep...])
# One GoogleTest executable of every .cpp in the calling folder, registered with CTest.
function(tarnwell_add_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_compile_options(${name} PRIVATE ${TARNWELL_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    TARNWELL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TARNWELL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # The registry and the host's files of the tests stay in the build tree,
  # away from the user's own (the designer keeps its colours there).
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600 ENVIRONMENT
                       "HALVEX_HOME=${PROJECT_BINARY_DIR}/test-home")
endfunction()
