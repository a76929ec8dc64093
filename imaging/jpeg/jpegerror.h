#pragma once
// The JPEG encoder's own errors and the write error of its output stream
// (EFCreateError, for a file that cannot be created, is the codecs' own).

#include "imaging/bitmapimage.h"
#include "imaging/fileerrors.h"

class EJpegError : public EGraphicsException {
public:
    using EGraphicsException::EGraphicsException;
};

// The system wrote fewer bytes than asked, or could not finish the file.
class EWriteError : public Exception {
public:
    using Exception::Exception;
};
