# SPDX-License-Identifier: MIT
# Build settings every target of the project shares, and the helper that registers a test.

# Warnings are on in every build; as errors only where asked (the presets and CI), so that a distribution's build
# with its own compiler and flags never breaks on a warning that compiler adds.
add_library(korva_options INTERFACE)
target_compile_options(korva_options INTERFACE -Wall -Wextra $<$<BOOL:${KORVA_WERROR}>:-Werror>)
# GCC 12, optimising, reports an overlap in a string literal + std::string that cannot happen (a known false
# positive of its -Wrestrict, gone in GCC 13); the warning says nothing about this code there.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(korva_options INTERFACE -Wno-restrict)
endif()
target_include_directories(korva_options INTERFACE "${PROJECT_SOURCE_DIR}/src")

# Release builds are hardened as Debian hardens its own: fortified library calls, a protected stack, relocations
# read-only from the start, position-independent programs.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$" AND NOT KORVA_BUILD_FUZZERS)
    target_compile_definitions(korva_options INTERFACE $<$<NOT:$<BOOL:${WIN32}>>:_FORTIFY_SOURCE=2>)
    target_compile_options(korva_options INTERFACE -fstack-protector-strong)
    target_link_options(korva_options INTERFACE -fstack-protector-strong)
    if(NOT WIN32)
        target_link_options(korva_options INTERFACE "LINKER:-z,relro" "LINKER:-z,now")
    endif()
endif()

# korva_fuzz_coverage(<target>...): the code a fuzz target explores gets libFuzzer's coverage instrumentation; the
# harness around it (the in-memory platform, the checks) does not, so that it costs no comparison callbacks.
function(korva_fuzz_coverage)
    if(KORVA_BUILD_FUZZERS)
        foreach(target ${ARGN})
            target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link -fno-sanitize-coverage=trace-cmp)
        endforeach()
    endif()
endfunction()

# korva_add_fuzzer(NAME <name> SOURCE <file> LIBRARIES <targets...>): a libFuzzer target, built into fuzz/.
function(korva_add_fuzzer)
    cmake_parse_arguments(ARG "" "NAME;SOURCE" "LIBRARIES" ${ARGN})
    add_executable(${ARG_NAME}_fuzzer ${ARG_SOURCE})
    target_link_libraries(${ARG_NAME}_fuzzer PRIVATE korva_options ${ARG_LIBRARIES})
    target_link_options(${ARG_NAME}_fuzzer PRIVATE -fsanitize=fuzzer)
    set_target_properties(${ARG_NAME}_fuzzer PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzz")
endfunction()

# korva_add_test(NAME <name> SOURCES <files...> LIBRARIES <targets...> [ENVIRONMENT <VAR=value...>])
# Builds one GoogleTest program and registers each of its tests with CTest.
function(korva_add_test)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE korva_options ${ARG_LIBRARIES})
    set_target_properties(${ARG_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
    # A cross-built test program lists its tests under an emulator, which may be slow to start.
    gtest_discover_tests(${ARG_NAME}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        NO_PRETTY_VALUES
        PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
endfunction()
