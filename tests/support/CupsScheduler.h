// The private CUPS scheduler that a ctest set-up test starts for the printing tests
// (mw_add_cupsd_fixture): its socket comes in CUPS_SERVER.
#pragma once

#include "support/PopplerTools.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace mwtest {

// The scheduler's folder, with this process's CUPS clients pointed at it; empty when
// CUPS_SERVER names no running scheduler's socket.
inline std::string UseTestScheduler()
{
    const char* server = std::getenv("CUPS_SERVER");
    struct stat st {};
    if (!server || stat(server, &st) != 0 || !S_ISSOCK(st.st_mode)) return std::string();
    const std::string cups = std::string(server).substr(0, std::string(server).rfind('/'));
    ::unsetenv("LPDEST");
    ::unsetenv("PRINTER");
    ::setenv("HOME", cups.c_str(), 1);
    ::setenv("CUPS_SERVERROOT", (cups + "/etc").c_str(), 1);
    return cups;
}

// Waits until the scheduler has no jobs left and the file has stopped growing; its size.
inline std::uintmax_t WaitForJob(const std::string& server, const std::string& file)
{
    std::uintmax_t size = 0;
    for (int i = 0; i < 300; ++i) {
        std::error_code ec;
        const auto now = std::filesystem::file_size(file, ec);
        const bool idle = RunCommand("lpstat -h " + Quoted(server) + " -o 2>/dev/null").empty();
        if (!ec && now > 0 && now == size && idle) break;
        size = ec ? 0 : now;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return size;
}

}  // namespace mwtest
