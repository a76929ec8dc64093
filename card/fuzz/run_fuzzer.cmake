# Builds the Card.fold fuzz target with clang and runs it for a bounded
# time, seeded with every fold's word. Run by CTest:
#   cmake -DSOURCE_DIR=<repo> -DBINARY_DIR=<dir> -DSECONDS=<n> -P run_fuzzer.cmake

include("${SOURCE_DIR}/cmake/TessalyFuzzing.cmake")

set(seeds "${BINARY_DIR}/seeds")
file(REMOVE_RECURSE "${seeds}")
foreach(word flat two-sided half quarter)
    file(WRITE "${seeds}/${word}" "${word}\n")
endforeach()
tessaly_run_fuzzer(PROJECT "${SOURCE_DIR}/card/fuzz" BINARY "${BINARY_DIR}"
                   TARGET fold_fuzzer SECONDS ${SECONDS} SEEDS "${seeds}")
