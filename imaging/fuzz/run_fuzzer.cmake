# Builds the fuzz target with clang and runs it for a bounded time, seeded
# from the BMP Suite when it is present. Run by CTest:
#   cmake -DSOURCE_DIR=<repo> -DBINARY_DIR=<dir> -DSECONDS=<n> -P run_fuzzer.cmake
# Fails when the build fails or libFuzzer reports a finding (the input is
# left in BINARY_DIR as crash-*, leak-*, timeout-* or oom-*).

find_program(CLANGXX NAMES clang++ clang++-14 REQUIRED)

execute_process(
    COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}/imaging/fuzz" -B "${BINARY_DIR}"
            -DCMAKE_CXX_COMPILER=${CLANGXX} -DCMAKE_BUILD_TYPE=Release
    RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "Configuring the fuzz target failed")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BINARY_DIR}" RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "Building the fuzz target failed")
endif()

# The same places the tests look for the shared folder.
set(seeds)
foreach(shared "$ENV{TESSALY_SHARED_DIR}" "${SOURCE_DIR}/../shared" "${SOURCE_DIR}/../../shared")
    if(shared AND IS_DIRECTORY "${shared}/bmpsuite/g")
        foreach(folder g q b x)
            list(APPEND seeds "${shared}/bmpsuite/${folder}")
        endforeach()
        break()
    endif()
endforeach()
if(NOT seeds)
    message(STATUS "The BMP Suite was not found: fuzzing without seeds")
endif()

# New inputs go to a fresh corpus in the build tree; the seeds are only read.
set(corpus "${BINARY_DIR}/corpus")
file(REMOVE_RECURSE "${corpus}")
file(MAKE_DIRECTORY "${corpus}")
execute_process(
    COMMAND "${BINARY_DIR}/bmp_fuzzer" -max_total_time=${SECONDS} -timeout=10
            -rss_limit_mb=2048 -artifact_prefix=${BINARY_DIR}/ -print_final_stats=1
            "${corpus}" ${seeds}
    RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "The fuzzer found a failing input (exit ${result}); see ${BINARY_DIR}")
endif()
