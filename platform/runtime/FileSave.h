// The one way a file is saved (runtime layer, no Qt).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Saves a whole file atomically. The bytes go to a file beside the target, which is renamed
// over it once complete: a full disk or a failing device leaves the old file as it was and
// leaves no temporary behind. The old file's permissions carry over, a symbolic link keeps
// pointing at the saved file, and a target that is not a regular file (a device, a pipe) is
// written in place. Failures raise EFCreateError or EWriteError naming the file.
void SaveFileAtomically(const std::string& fileName, const void* data, int64_t size);
inline void SaveFileAtomically(const std::string& fileName, std::string_view text)
{
    SaveFileAtomically(fileName, text.data(), static_cast<int64_t>(text.size()));
}
inline void SaveFileAtomically(const std::string& fileName, const std::vector<uint8_t>& bytes)
{
    SaveFileAtomically(fileName, bytes.data(), static_cast<int64_t>(bytes.size()));
}
