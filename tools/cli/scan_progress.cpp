#include "tools/cli/scan_progress.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace pelmora::cli {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kQuietTime = std::chrono::seconds(1);
constexpr auto kPoll = std::chrono::milliseconds(20);
constexpr auto kRedraw = std::chrono::milliseconds(200);

void drawLine(const ScanProgress& progress) {
    std::fprintf(stderr, "\rReading: %lld folders, %lld files\033[K",
                 static_cast<long long>(progress.folders.load(std::memory_order_relaxed)),
                 static_cast<long long>(progress.files.load(std::memory_order_relaxed)));
    std::fflush(stderr);
}

void waitWithLine(ScanProgress& progress, const std::function<bool()>& finished) {
    const Clock::time_point start = Clock::now();
    Clock::time_point lastDrawn{};
    bool drawn = false;
    while (!finished()) {
        std::this_thread::sleep_for(kPoll);
        const Clock::time_point now = Clock::now();
        if (now - start >= kQuietTime && now - lastDrawn >= kRedraw) {
            drawLine(progress);
            lastDrawn = now;
            drawn = true;
        }
    }
    if (drawn) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

} // namespace

ScanWaiter terminalProgress() {
    if (isatty(STDERR_FILENO) == 0) {
        return {};
    }
    return waitWithLine;
}

} // namespace pelmora::cli
