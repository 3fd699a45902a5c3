# Compiler settings and small helpers shared by every folder.

set(KEL_WARNING_FLAGS -Wall -Wextra -Wpedantic)
if(KEL_WERROR)
    list(APPEND KEL_WARNING_FLAGS -Werror)
endif()

if(KEL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Fuzzing instruments every piece for libFuzzer's coverage; only the fuzz targets link its
# driver (fuzz/CMakeLists.txt).
if(KEL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "KEL_FUZZ needs clang (CC=clang CXX=clang++)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Include roots: the umbrella headers and the tree itself ("platform/core/String.h").
set(KEL_INCLUDE_DIRS
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/KelRSList>)

function(kel_target_defaults target)
    target_compile_options(${target} PRIVATE ${KEL_WARNING_FLAGS})
    target_include_directories(${target} PUBLIC ${KEL_INCLUDE_DIRS})
endfunction()

# kel_static_library(name SOURCES ... LIBS ...)
function(kel_static_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    kel_target_defaults(${name})
    if(ARG_LIBS)
        target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    endif()
endfunction()

# kel_test(name SOURCES ... LIBS ...): one GoogleTest program, its cases listed in CTest.
# LOCK names a resource the program's cases must not share: they run alone
# (the display's clipboard, say).
function(kel_test name)
    cmake_parse_arguments(ARG "" "LOCK" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE ${KEL_WARNING_FLAGS})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        KEL_TEST_DATA_DIR="${CMAKE_BINARY_DIR}/testdata"
        KEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    set(lock)
    if(ARG_LOCK)
        set(lock RESOURCE_LOCK ${ARG_LOCK} RUN_SERIAL TRUE)
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "KELRS_SETTINGS_DIR=${CMAKE_BINARY_DIR}/testdata/settings" ${lock})
endfunction()
