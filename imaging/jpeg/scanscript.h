#pragma once
// Scan scripts as text, for tools and tests: descriptors separated by blanks,
// each its components joined by '+' from y, cb and cr ("y cb+cr"); in a
// progressive frame each adds :END:APPROX, the last coefficient of its band
// and the bits held back ("y+cb+cr:0:1 y:5:2 cb:63:1 cr:63:1 y:63:2").

#include "imaging/jpeg/jpegerror.h"

#include <string>

class TJpegEncoder;

// A script that cannot be read; the message says where.
class EScanScriptError : public EJpegError {
public:
    using EJpegError::EJpegError;
};

// Replaces the encoder's scan descriptors with the script's. The encoder's
// own checks judge the result when it writes.
void ApplyScanScript(TJpegEncoder &encoder, const std::string &script, bool progressive);

// A progressive script with successive approximation that suits photographs:
// for colour output "y+cb+cr:0:1 y:5:2 cr:63:1 cb:63:1 y:63:2", for grayscale
// output "y:0:1 y:5:2 y:63:2".
const char *DefaultProgressiveScript(bool grayscale);
void ApplyDefaultProgressiveScript(TJpegEncoder &encoder);
