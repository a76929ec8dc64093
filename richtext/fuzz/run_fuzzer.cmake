# Builds the RTF fuzz target with clang and runs it for a bounded time,
# seeded from the sample files and the hostile inputs earlier runs found
# (tests/richtext/data/hostile). Run by CTest:
#   cmake -DSOURCE_DIR=<repo> -DBINARY_DIR=<dir> -DSECONDS=<n> -P run_fuzzer.cmake

include("${SOURCE_DIR}/cmake/TessalyFuzzing.cmake")

set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{LSAN_OPTIONS} "suppressions=${SOURCE_DIR}/richtext/fuzz/lsan.supp")
tessaly_run_fuzzer(PROJECT "${SOURCE_DIR}/richtext/fuzz" BINARY "${BINARY_DIR}"
                   TARGET rtf_fuzzer SECONDS ${SECONDS}
                   SEEDS "${SOURCE_DIR}/tests/richtext/data"
                   OPTIONS -dict=${SOURCE_DIR}/richtext/fuzz/rtf.dict)
