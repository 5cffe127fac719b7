// Reading a small file whole (runtime layer, no Qt).
#pragma once

#include <cstddef>
#include <string>

enum class TFileLoad {
    Loaded,    // Bytes holds the whole file
    Missing,   // no file of that name
    NotAFile,  // a folder, a pipe or a device: not opened for reading (a pipe would wait)
    TooLarge,  // more than maxBytes
    Failed     // the system refused; Error holds its errno
};

struct TLoadedFile {
    TFileLoad Status = TFileLoad::Missing;
    std::string Bytes;
    int Error = 0;
};

// Reads a regular file of at most maxBytes. The name is used as the file system's bytes, so any
// name the system holds can be read, whatever its encoding.
TLoadedFile LoadRegularFile(const std::string& fileName, size_t maxBytes);
