#include "imaging/fileerrors.h"

#include <cerrno>
#include <cstring>

namespace {

std::string Describe(const char *what, const std::string &fileName, int errorNumber)
{
    return std::string(what) + " \"" + fileName + "\". " + std::strerror(errorNumber);
}

} // namespace

EFOpenError::EFOpenError(const std::string &fileName) : EFOpenError(fileName, errno) {}

EFOpenError::EFOpenError(const std::string &fileName, int errorNumber)
    : Exception(Describe("Cannot open file", fileName, errorNumber))
{
}

EFOpenError::EFOpenError(const std::string &fileName, const std::string &reason)
    : Exception("Cannot open file \"" + fileName + "\". " + reason)
{
}

EReadError::EReadError(const std::string &fileName, int errorNumber)
    : Exception(Describe("Cannot read file", fileName, errorNumber))
{
}

EFCreateError::EFCreateError(const std::string &fileName) : EFCreateError(fileName, errno) {}

EFCreateError::EFCreateError(const std::string &fileName, int errorNumber)
    : Exception(Describe("Cannot create file", fileName, errorNumber))
{
}

EFCreateError::EFCreateError(const std::string &fileName, const std::string &reason)
    : Exception("Cannot create file \"" + fileName + "\". " + reason)
{
}
