# The codec library's sources, relative to imaging/. Shared by the library,
# its sanitizer build and the fuzzing project (imaging/fuzz).
set(TESSALY_IMAGING_SOURCE_NAMES
    bitmapimage.h bitmapimage.cpp
    fileerrors.h fileerrors.cpp
    atomicfile.h atomicfile.cpp
    regularfile.h regularfile.cpp
    streamreading.h
    pages.h pages.cpp
    rowsource.h
    bmpdecoder.h bmpdecoder.cpp bmpdecodestate.h
    bmprows.h bmprows.cpp
    bmprowreader.h bmprowreader.cpp
    bmpmasks.h bmpmasks.cpp
    bmprle.cpp
)
