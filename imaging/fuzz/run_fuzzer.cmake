# Builds the fuzz target with clang and runs it for a bounded time, seeded
# from the BMP Suite when it is present. Run by CTest:
#   cmake -DSOURCE_DIR=<repo> -DBINARY_DIR=<dir> -DSECONDS=<n> -P run_fuzzer.cmake
# Fails when the build fails or libFuzzer reports a finding (the input is
# left in BINARY_DIR as crash-*, leak-*, timeout-* or oom-*).

include("${SOURCE_DIR}/cmake/TessalyFuzzing.cmake")

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

tessaly_run_fuzzer(PROJECT "${SOURCE_DIR}/imaging/fuzz" BINARY "${BINARY_DIR}"
                   TARGET bmp_fuzzer SECONDS ${SECONDS} SEEDS ${seeds})
