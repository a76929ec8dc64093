# Builds the picture fuzz target with clang and runs it for a bounded time,
# seeded with small pictures of each format the tests make. Run by CTest:
#   cmake -DSOURCE_DIR=<repo> -DBINARY_DIR=<dir> -DSECONDS=<n> -DSEEDS=<dir> -P run_fuzzer.cmake
include("${SOURCE_DIR}/cmake/TessalyFuzzing.cmake")
set(ENV{LSAN_OPTIONS} "suppressions=${SOURCE_DIR}/richtext/fuzz/lsan.supp")
set(ENV{QT_QPA_PLATFORM} "offscreen")
tessaly_run_fuzzer(PROJECT "${SOURCE_DIR}/pictures/fuzz" BINARY "${BINARY_DIR}"
                   TARGET picture_fuzzer SECONDS ${SECONDS} SEEDS ${SEEDS}
                   OPTIONS -rss_limit_mb=3072)
