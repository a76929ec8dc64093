# Shared by the libFuzzer projects (*/fuzz/CMakeLists.txt), each a small
# project of its own since libFuzzer needs clang while the program builds with
# the default compiler. Included right after project(); sets TESSALY_ROOT.
#   tessaly_fuzzer(<target> <sources>... [OPTIONS <extra compile flags>...])
# builds <target> with our sources instrumented for libFuzzer, ASan and UBSan.

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz target needs clang: -DCMAKE_CXX_COMPILER=clang++")
endif()
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)

get_filename_component(TESSALY_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

function(tessaly_fuzzer target)
    cmake_parse_arguments(ARG "" "" "OPTIONS" ${ARGN})
    add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
    target_include_directories(${target} PRIVATE "${TESSALY_ROOT}")
    target_compile_options(${target} PRIVATE
        -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer ${ARG_OPTIONS} -g -O1)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()
