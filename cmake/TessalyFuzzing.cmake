# Builds a libFuzzer target in a project of its own with clang and runs it for
# a bounded time. For the fuzz tests' scripts, which run in script mode
# (cmake -P) and include this file:
#   tessaly_run_fuzzer(PROJECT <dir> BINARY <dir> TARGET <name> SECONDS <n>
#                      [SEEDS <dir>...] [OPTIONS <libFuzzer flag>...])
# New inputs go to a fresh corpus in BINARY; the seed folders are only read.
# Fails when the build fails or libFuzzer reports a finding, whose input is
# left in BINARY as crash-*, leak-*, timeout-* or oom-*.

function(tessaly_run_fuzzer)
    cmake_parse_arguments(ARG "" "PROJECT;BINARY;TARGET;SECONDS" "SEEDS;OPTIONS" ${ARGN})
    find_program(CLANGXX NAMES clang++ clang++-14 REQUIRED)

    execute_process(
        COMMAND "${CMAKE_COMMAND}" -S "${ARG_PROJECT}" -B "${ARG_BINARY}"
                -DCMAKE_CXX_COMPILER=${CLANGXX} -DCMAKE_BUILD_TYPE=Release
        RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "Configuring the fuzz target ${ARG_TARGET} failed")
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" --build "${ARG_BINARY}" RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "Building the fuzz target ${ARG_TARGET} failed")
    endif()

    # The suite runs every target from one seed, so a run explores the same
    # inputs each time and a finding can be repeated; TESSALY_FUZZ_SEED picks
    # another seed for a longer search by hand (0 lets libFuzzer choose).
    set(seed 1)
    if(DEFINED ENV{TESSALY_FUZZ_SEED})
        set(seed "$ENV{TESSALY_FUZZ_SEED}")
    endif()

    set(corpus "${ARG_BINARY}/corpus")
    file(REMOVE_RECURSE "${corpus}")
    file(MAKE_DIRECTORY "${corpus}")
    execute_process(
        COMMAND "${ARG_BINARY}/${ARG_TARGET}" -max_total_time=${ARG_SECONDS} -seed=${seed} -timeout=10
                -rss_limit_mb=2048 -artifact_prefix=${ARG_BINARY}/ -print_final_stats=1
                ${ARG_OPTIONS} "${corpus}" ${ARG_SEEDS}
        RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "The fuzzer found a failing input (exit ${result}); see ${ARG_BINARY}")
    endif()
endfunction()
