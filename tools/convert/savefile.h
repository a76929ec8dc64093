#pragma once
// Writes a whole file so that a failure never leaves a half-written file in
// place of a good one: the bytes go to "name.tmp", which is flushed to disk
// and then renamed over "name".

#include <string>
#include <string_view>

// Raises EFCreateError when the file cannot be written.
void SaveFileAtomically(const std::string &fileName, std::string_view contents);
