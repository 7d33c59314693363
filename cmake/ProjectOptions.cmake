# Warnings, sanitizers and the one-line test helper shared by every target.

option(TWDS_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
# CI sets $TWDS_WERROR=ON so that every build it configures fails on a warning.
if(DEFINED ENV{TWDS_WERROR})
    set(twds_werror_default "$ENV{TWDS_WERROR}")
else()
    set(twds_werror_default OFF)
endif()
option(TWDS_WERROR "Treat compiler warnings as errors" ${twds_werror_default})

add_library(twds_options INTERFACE)
target_compile_features(twds_options INTERFACE cxx_std_20)
target_compile_options(twds_options INTERFACE -Wall -Wextra -Wpedantic)
# GCC 12 reports -Wrestrict on std::string concatenations that libstdc++
# inlines at -O2 (GCC bug 105329): false positives, which would fail every
# Release build with warnings as errors.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(twds_options INTERFACE -Wno-restrict)
endif()
if(TWDS_WERROR)
    target_compile_options(twds_options INTERFACE -Werror)
endif()
if(TWDS_SANITIZE)
    target_compile_options(twds_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(twds_options INTERFACE -fsanitize=address,undefined)
endif()

# twds_add_test(<name> SOURCES ... LIBS ...)
# Every test runs on the offscreen Qt platform so that no display server is needed.
function(twds_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE twds_options GTest::gtest GTest::gtest_main ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
    target_compile_definitions(${name} PRIVATE
        TWDS_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TWDS_BINARY_DIR="${CMAKE_BINARY_DIR}")
    if(CMAKE_CROSSCOMPILING)
        # The program cannot be asked for its tests at build time; it runs
        # whole, through CMAKE_CROSSCOMPILING_EMULATOR when one is given.
        add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    else()
        gtest_discover_tests(${name}
            WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
            PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
            DISCOVERY_TIMEOUT 60)
    endif()
endfunction()
