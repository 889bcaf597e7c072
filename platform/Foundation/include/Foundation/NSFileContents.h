#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The bytes of a document file. Only a regular file is read, and only up to a size: a
// directory, a device or a pipe where a document belongs is refused at once, never waited
// on or read without end. Raises Runtime::Error "cannot read PATH: REASON".
std::string NSDataWithContentsOfFile(const std::string& path, std::size_t maximumLength);

// Writes a whole file or nothing: the bytes go to a new file beside the target, which takes
// its place only once every byte is written and closed. A device or a pipe is written
// directly, every write checked. Raises Runtime::Error "cannot write PATH: REASON" and leaves
// no partial file behind.
void NSDataWriteToFileAtomically(const std::string& path, std::string_view contents);
