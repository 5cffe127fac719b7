// The readers work on files: each input is written to one scratch file of the process.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

class TScratchFile {
public:
    explicit TScratchFile(const char* ext)
        : name_("/tmp/mw_fuzz_" + std::to_string(::getpid()) + ext) {}
    ~TScratchFile() { std::remove(name_.c_str()); }

    const std::string& Write(const uint8_t* data, std::size_t size)
    {
        if (FILE* f = std::fopen(name_.c_str(), "wb")) {
            if (size) std::fwrite(data, 1, size, f);
            std::fclose(f);
        }
        return name_;
    }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};
