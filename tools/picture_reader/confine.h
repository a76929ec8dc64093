#pragma once
// The confinement tessaly-picture-reader puts itself under once it is set up
// and before it touches the file: a reader then cannot outlast its CPU
// time, grow past its address space, write, create or remove a file, reach
// the network, start a program or signal another process.

#include <cstdint>
#include <string>

struct TConfinement {
    int CpuSeconds = 4;
    int64_t AddressSpaceBytes = int64_t(512) << 20;
};

// Returns an empty string on success, else what failed; a reader must not
// run when it fails.
std::string ConfineThisProcess(const TConfinement &limits);
