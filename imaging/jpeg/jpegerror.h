#pragma once
// The JPEG encoder's own errors; its output stream raises the codecs' file
// errors (EFCreateError, EWriteError).

#include "imaging/bitmapimage.h"
#include "imaging/fileerrors.h"

class EJpegError : public EGraphicsException {
public:
    using EGraphicsException::EGraphicsException;
};
