#include "Foundation/NSLog.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <errno.h>
#include <mutex>
#include <unistd.h>

namespace {

std::mutex& sinkMutex() {
    static std::mutex mutex;
    return mutex;
}

NSLogSink& currentSink() {
    static NSLogSink sink;
    return sink;
}

std::string processName() {
    return program_invocation_short_name ? program_invocation_short_name : "trillbox";
}

} // namespace

void NSLogSetSink(NSLogSink sink) {
    std::lock_guard lock(sinkMutex());
    currentSink() = std::move(sink);
}

void NSLogMessage(const std::string& message) {
    NSLogSink sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = currentSink();
    }
    if (sink) {
        sink(message);
        return;
    }
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::fprintf(stderr, "%s.%03lld %s[%d] %s\n", stamp, static_cast<long long>(millis),
                 processName().c_str(), static_cast<int>(::getpid()), message.c_str());
}
