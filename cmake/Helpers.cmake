# ql_export_headers(name HEADERS...): the target's own include folder. Each header is linked into
# build/include/<name>/<its path below the source root>, and that folder is the target's only
# public include path: a file sees the headers of what its target links and nothing else, so an
# include across the layers fails to build.
function(ql_export_headers name)
    set(root ${CMAKE_BINARY_DIR}/include/${name})
    get_target_property(type ${name} TYPE)
    set(scope PUBLIC)
    if(type STREQUAL "INTERFACE_LIBRARY")
        set(scope INTERFACE)
    endif()
    file(REMOVE_RECURSE ${root})
    file(MAKE_DIRECTORY ${root})
    foreach(header ${ARGN})
        file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${header})
        get_filename_component(folder ${root}/${relative} DIRECTORY)
        file(MAKE_DIRECTORY ${folder})
        file(CREATE_LINK ${header} ${root}/${relative} SYMBOLIC)
    endforeach()
    target_include_directories(${name} ${scope} ${root})
endfunction()

# The headers of SDL, OpenGL, EGL and Vorbis are the platform layer's alone. Every target outside
# Platform/ has this folder first on its include path; it holds a header of each of their names
# (also SDL's own spelling without "SDL2/") that stops the build, so such an include cannot reach
# the real one.
set(QL_PLATFORM_ONLY ${CMAKE_BINARY_DIR}/include/platform_only)
file(REMOVE_RECURSE ${QL_PLATFORM_ONLY})
foreach(system ${CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES} ${SDL2_INCLUDE_DIRS})
    foreach(folder SDL2 GL EGL KHR GLES GLES2 GLES3 vorbis)
        file(GLOB_RECURSE found RELATIVE ${system} ${system}/${folder}/*.h)
        list(APPEND QL_PLATFORM_HEADER_NAMES ${found})
        if(folder STREQUAL "SDL2")
            file(GLOB found RELATIVE ${system}/SDL2 ${system}/SDL2/*.h)
            list(APPEND QL_PLATFORM_HEADER_NAMES ${found})
        endif()
    endforeach()
endforeach()
list(REMOVE_DUPLICATES QL_PLATFORM_HEADER_NAMES)
foreach(header ${QL_PLATFORM_HEADER_NAMES})
    file(WRITE ${QL_PLATFORM_ONLY}/${header}
        "#error \"${header} belongs to the platform layer: only Platform/ includes it\"\n")
endforeach()

# ql_platform_only(target): the target is outside Platform/ and sees none of the platform's libraries.
# Its objects are listed (QL_ABOVE_PLATFORM) for the layer test that reads their symbols.
function(ql_platform_only target)
    target_include_directories(${target} BEFORE PRIVATE ${QL_PLATFORM_ONLY})
    set_property(GLOBAL APPEND PROPERTY QL_ABOVE_PLATFORM ${target})
endfunction()

# ql_library(name SOURCES... [PUBLIC ...] [LIBS ...] [HEADERS ...] [NOT_HEADERS ...]): a static
# library of one engine area. PUBLIC names the libraries its headers include: a user of the library
# sees their headers too. LIBS are linked privately: only the library's own sources see them.
# Its headers are those beside its sources (HEADERS names them instead where one folder holds
# several libraries; NOT_HEADERS leaves out another library's). A library of HEADERS alone (no
# SOURCES: interfaces) hands on its headers and PUBLIC.
function(ql_library name)
    cmake_parse_arguments(A "" "" "SOURCES;PUBLIC;LIBS;HEADERS;NOT_HEADERS" ${ARGN})
    if(NOT A_SOURCES)
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE ${A_PUBLIC})
    else()
        add_library(${name} STATIC ${A_SOURCES})
        target_link_libraries(${name} PUBLIC ${A_PUBLIC} PRIVATE ${A_LIBS})
        string(FIND "${CMAKE_CURRENT_SOURCE_DIR}/" "${CMAKE_SOURCE_DIR}/Platform/" inPlatform)
        if(NOT inPlatform EQUAL 0)
            ql_platform_only(${name})
        endif()
    endif()
    if(A_HEADERS)
        list(TRANSFORM A_HEADERS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
        set(headers ${A_HEADERS})
    else()
        set(headers)
        foreach(source ${A_SOURCES})
            get_filename_component(folder ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
            get_filename_component(folder ${folder} DIRECTORY)
            file(GLOB found CONFIGURE_DEPENDS ${folder}/*.h ${folder}/*.inl)
            list(APPEND headers ${found})
        endforeach()
        list(REMOVE_DUPLICATES headers)
        foreach(excluded ${A_NOT_HEADERS})
            list(REMOVE_ITEM headers ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
        endforeach()
    endif()
    ql_export_headers(${name} ${headers})
endfunction()

# Every test's temporary files go under the build tree (QL_TEST_TMP, and TMPDIR for what other
# code puts in the system's temporary folder); the testtmp_sweep test clears what killed processes
# leave there once the tests that need the fixture have run.
set(QL_TEST_TMP ${CMAKE_BINARY_DIR}/testtmp)
file(MAKE_DIRECTORY ${QL_TEST_TMP})
# A time limit for every test that sets none of its own (CTest reads it from the build folder; its
# own default is ten million seconds): a hang fails that test by name instead of holding up the
# run. Sanitized code runs several times slower: its limits are the plain build's times 2.5
# (ql_time_limit), the default's too.
function(ql_time_limit out seconds)
    if(QL_SANITIZE)
        math(EXPR seconds "${seconds} * 5 / 2")
    endif()
    set(${out} ${seconds} PARENT_SCOPE)
endfunction()
ql_time_limit(QL_TEST_TIMEOUT 600)
file(WRITE ${CMAKE_BINARY_DIR}/DartConfiguration.tcl "TimeOut: ${QL_TEST_TIMEOUT}\n")
# No test reaches or starts a desktop session bus (SDL asks for one under X; without one, libdbus
# would launch one, and leaks on the way).
set(QL_TEST_ENV "QL_TEST_TMP=${QL_TEST_TMP};TMPDIR=${QL_TEST_TMP};SDL_AUDIODRIVER=dummy;DBUS_SESSION_BUS_ADDRESS=disabled:")
# LeakSanitizer is on in every sanitized test; tests/lsan.supp names the leaks of system drivers
# (never ours), also those the environment below keeps away.
if(QL_SANITIZE)
    list(APPEND QL_TEST_ENV "ASAN_OPTIONS=detect_leaks=1"
        "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
endif()

# ql_test(name SOURCES... [LIBS ...] [SHARDS n [COSTS file]] [TIMEOUT seconds]): a GoogleTest
# program registered with CTest. SHARDS n registers the program as n tests (name_1 ... name_n), each
# running its share of the cases, so that a long program runs beside itself and each part has its
# own time limit. Without COSTS the cases are dealt round (GoogleTest's sharding); COSTS names a file
# of each case's seconds ("Suite.Case seconds" a line, as QL_CASE_SECONDS=file writes them) and the
# shards are split by it (tests/support/CaseShards.h), so the long cases do not gather in one.
# TIMEOUT is the plain build's limit of each test (scaled by ql_time_limit).
function(ql_test name)
    cmake_parse_arguments(A "" "SHARDS;COSTS;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock ql_testsupport)
    set(timeout)
    if(A_TIMEOUT)
        ql_time_limit(limit ${A_TIMEOUT})
        set(timeout TIMEOUT ${limit})
    endif()
    if(NOT A_SHARDS)
        add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED testtmp ENVIRONMENT "${QL_TEST_ENV}" ${timeout})
        return()
    endif()
    foreach(shard RANGE 1 ${A_SHARDS})
        math(EXPR index "${shard} - 1")
        if(A_COSTS)
            set(split "QL_TOTAL_SHARDS=${A_SHARDS};QL_SHARD_INDEX=${index};QL_CASE_COSTS=${A_COSTS}")
        else()
            set(split "GTEST_TOTAL_SHARDS=${A_SHARDS};GTEST_SHARD_INDEX=${index}")
        endif()
        add_test(NAME ${name}_${shard} COMMAND ${name} --gtest_brief=1)
        set_tests_properties(${name}_${shard} PROPERTIES FIXTURES_REQUIRED testtmp ${timeout}
            ENVIRONMENT "${QL_TEST_ENV};${split}")
    endforeach()
endfunction()

# ql_bench(name SOURCES... [LIBS ...]): a Google Benchmark program.
function(ql_bench name)
    cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark_main)
endfunction()

# ql_fuzzer(name SOURCES... [LIBS ...]): a libFuzzer target with a short CTest run.
function(ql_fuzzer name)
    cmake_parse_arguments(A "" "" "SOURCES;LIBS;CORPUS" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz)
    target_link_libraries(${name} PRIVATE ${A_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(ql_fuzzers ${name})
    # New inputs go to a folder in the build tree; the committed corpus is only read. An input that
    # fails (crash, undefined behaviour, leak, timeout, memory cap) is kept in ${name}_findings.
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
    set(findings ${CMAKE_CURRENT_BINARY_DIR}/${name}_findings)
    file(MAKE_DIRECTORY ${work} ${findings})
    # The longer runs (scripts/fuzz-long.sh) read the seed folders from here.
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}.seeds "${A_CORPUS}\n")
    # An input that runs 30 s is a finding (libFuzzer's own limit, 1200 s, is past CTest's 120 s, which
    # would end the run without keeping it): 20 s of fuzzing, then at most 30 s on an input and 16 s
    # until libFuzzer's check sees it, well inside the limit.
    add_test(NAME ${name} COMMAND ${name} -max_total_time=20 -timeout=30 -rss_limit_mb=2048
                                  -artifact_prefix=${findings}/ ${work} ${A_CORPUS})
    set_tests_properties(${name} PROPERTIES TIMEOUT 120 ENVIRONMENT
                                            "TMPDIR=${QL_TEST_TMP};UBSAN_OPTIONS=print_stacktrace=1")
endfunction()
