# Shared build settings and helpers of the Tarnwell tree.

# Warnings are errors only where asked (CI asks, and its builds stay free of
# warnings): a user's build with another build type or a newer compiler must
# not fail on a warning that compiler has newly learnt.
option(TARNWELL_WERROR "Treat compiler warnings as errors" OFF)
set(TARNWELL_WARNINGS -Wall -Wextra)
if(TARNWELL_WERROR)
  list(APPEND TARNWELL_WARNINGS -Werror)
endif()
# GCC 12 at -O3 reports overlapping copies inside libstdc++'s string code
# (-Wrestrict) that cannot happen; the warning stays on for other compilers.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND TARNWELL_WARNINGS -Wno-restrict)
endif()

# lld, where the machine has it, links the many test programs several times
# faster than the default linker.
include(CheckLinkerFlag)
check_linker_flag(CXX "-fuse-ld=lld" TARNWELL_HAVE_LLD)
if(TARNWELL_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
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

# Files of a target whose own helpers share a name with another file's of the
# same target compile on their own, outside the unity build.
function(tarnwell_standalone_sources)
  foreach(file ${ARGN})
    set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/${file} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endforeach()
endfunction()

# tarnwell_add_library(NAME [DEPS dep...] [STANDALONE file.cpp...])
# A static library made of every .cpp in the calling folder (new files are picked up
# when the build runs, so adding a file needs no edit here). Its files compile in
# groups of 16, each group as one unit (a unity build): the same headers and the
# same inline code are then compiled once a group, not once a file.
function(tarnwell_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;STANDALONE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 16)
    tarnwell_standalone_sources(${ARG_STANDALONE})
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

# tarnwell_add_test_suite(NAME [DEPS dep...] [SECOND_UNIT file.cpp...] [THIRD_UNIT file.cpp...]
#                         [STANDALONE file.cpp...])
# One GoogleTest executable of every .cpp in the calling folder, registered with CTest.
#
# A suite compiles as one unit (a unity build: its files included into one),
# without optimisation: the suites' own code does little work, the code under
# test keeps the build type's optimisation, and most of a test file's compile
# time goes to the same headers and the same inline code, which a unity build
# compiles once a suite. That makes the suites build several times faster.
# Files whose helpers share a name with another file's of the suite go into a
# second (or third) unit, listed as SECOND_UNIT (THIRD_UNIT); those that meet
# a name in every unit, and the sources that a folder adds with
# target_sources, compile on their own (STANDALONE).
function(tarnwell_add_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPS;SECOND_UNIT;THIRD_UNIT;STANDALONE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
  set_source_files_properties(${srcs} PROPERTIES UNITY_GROUP ${name}_1)
  foreach(unit SECOND THIRD)
    foreach(file ${ARG_${unit}_UNIT})
      set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/${file} PROPERTIES UNITY_GROUP ${name}_${unit})
    endforeach()
  endforeach()
  tarnwell_standalone_sources(${ARG_STANDALONE})
  target_compile_options(${name} PRIVATE ${TARNWELL_WARNINGS} -O0)
  # Linked position-dependent: with the sanitizers a position-independent
  # suite carries about a million relative relocations (the descriptors of its
  # globals, its vtables), which every start of the program applies to pages
  # it then copies; ctest starts the program once a test, and those starts
  # took a third of the time of the tests that do little. ThreadSanitizer
  # wants position-independent programs.
  if(NOT TARNWELL_TSAN)
    target_link_options(${name} PRIVATE -no-pie)
  endif()
  # In a unit every file but the first is an included file, for which GCC
  # warns about a test's base class in an anonymous namespace.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    TARNWELL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TARNWELL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  # The registry and the host's files of the tests stay in the build tree,
  # away from the user's own (the designer keeps its colours there).
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600 ENVIRONMENT
                       "HALVEX_HOME=${PROJECT_BINARY_DIR}/test-home")
endfunction()

# The programs of every folder from DIR down, into OUT.
function(tarnwell_programs_under dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  set(programs "")
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      list(APPEND programs ${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    tarnwell_programs_under(${subdir} below)
    list(APPEND programs ${below})
  endforeach()
  set(${out} ${programs} PARENT_SCOPE)
endfunction()

# In a sanitizer or fuzz build every program starts with the address
# sanitizer's options of base/sanitizer/SanitizerDefaults.cpp: the tests, the
# halvex processes they start, the benchmarks, the tools and the fuzz targets,
# so that a run by hand behaves as CI's. The object goes into each program
# itself; in a library the runtime's own weak hook would win. Called once, at
# the end of the top-level list, when every program exists.
function(tarnwell_add_sanitizer_defaults)
  if(NOT TARNWELL_SANITIZE AND NOT TARNWELL_FUZZ)
    return()
  endif()
  add_library(sanitizer_defaults OBJECT ${PROJECT_SOURCE_DIR}/base/sanitizer/SanitizerDefaults.cpp)
  target_compile_options(sanitizer_defaults PRIVATE ${TARNWELL_WARNINGS})
  target_include_directories(sanitizer_defaults PRIVATE ${PROJECT_SOURCE_DIR})
  tarnwell_programs_under(${PROJECT_SOURCE_DIR} programs)
  foreach(program ${programs})
    target_sources(${program} PRIVATE $<TARGET_OBJECTS:sanitizer_defaults>)
  endforeach()
endfunction()
