# Builds the recipient-list fuzz targets with clang and runs one of them for
# a bounded time, seeded from the sample lists in tests/merge/data. Run by
# CTest:
#   cmake -DSOURCE_DIR=<repo> -DBINARY_DIR=<dir> -DFUZZER=<csv_fuzzer|vcard_fuzzer|kept_list_fuzzer>
#         -DSECONDS=<n> -P run_fuzzer.cmake

include("${SOURCE_DIR}/cmake/TessalyFuzzing.cmake")

set(ENV{QT_QPA_PLATFORM} offscreen)
set(options)
if(FUZZER STREQUAL "vcard_fuzzer")
    set(seeds "${SOURCE_DIR}/tests/merge/data/vcard")
    list(APPEND options -dict=${SOURCE_DIR}/merge/fuzz/vcard.dict)
elseif(FUZZER STREQUAL "csv_fuzzer")
    set(seeds "${SOURCE_DIR}/tests/merge/data/csv")
else()
    set(seeds "${SOURCE_DIR}/tests/merge/data/kept")
endif()
# Each target keeps its own corpus and findings beside the shared build.
tessaly_run_fuzzer(PROJECT "${SOURCE_DIR}/merge/fuzz" BINARY "${BINARY_DIR}"
                   TARGET ${FUZZER} SECONDS ${SECONDS} SEEDS ${seeds}
                   OPTIONS ${options})
