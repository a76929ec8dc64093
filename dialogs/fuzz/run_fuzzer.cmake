# Builds the archive fuzz target with clang and runs it for a bounded time,
# seeded from the small template archive of the tests. Run by CTest:
#   cmake -DSOURCE_DIR=<repo> -DBINARY_DIR=<dir> -DSECONDS=<n> -P run_fuzzer.cmake

include("${SOURCE_DIR}/cmake/TessalyFuzzing.cmake")

tessaly_run_fuzzer(PROJECT "${SOURCE_DIR}/dialogs/fuzz" BINARY "${BINARY_DIR}"
                   TARGET zip_fuzzer SECONDS ${SECONDS}
                   SEEDS "${SOURCE_DIR}/tests/dialogs/data"
                   OPTIONS -dict=${SOURCE_DIR}/dialogs/fuzz/zip.dict -max_len=4096)
