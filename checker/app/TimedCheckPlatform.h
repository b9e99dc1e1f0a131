// The check run's platform with a stopwatch: passes every call on and adds
// up the time spent in the probe and the file system, so that a run's
// duration can be set against its bare platform work.
#pragma once

#include <windows.h>

#include "CheckRun.h"

namespace tessaly {

struct RunTimes {
    long long wholeRun = 0;      // microseconds from the start to the end of the run
    long long platformWork = 0;  // microseconds inside the platform's calls
};

class TimedCheckPlatform : public CheckPlatform {
public:
    explicit TimedCheckPlatform(CheckPlatform& platform) : platform_(platform), start_(Now()) {}

    std::string FileVersionText(const std::string& path) override {
        return Timed([&] { return platform_.FileVersionText(path); });
    }
    std::string FileLanguageName(const std::string& path) override {
        return Timed([&] { return platform_.FileLanguageName(path); });
    }
    std::string SystemCountryName() override {
        return Timed([&] { return platform_.SystemCountryName(); });
    }
    bool FileTimeAndSize(const std::string& path, LocalDateTime& modified, std::uint64_t& size) override {
        return Timed([&] { return platform_.FileTimeAndSize(path, modified, size); });
    }

    // Times up to now.
    RunTimes Times() const { return {Microseconds(Now() - start_), Microseconds(inside_)}; }

private:
    template <class Call>
    auto Timed(Call call) -> decltype(call()) {
        const long long begin = Now();
        auto result = call();
        inside_ += Now() - begin;
        return result;
    }
    static long long Now() {
        LARGE_INTEGER ticks;
        QueryPerformanceCounter(&ticks);
        return ticks.QuadPart;
    }
    static long long Microseconds(long long ticks) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return ticks * 1000000 / frequency.QuadPart;
    }

    CheckPlatform& platform_;
    long long start_;
    long long inside_ = 0;
};

}  // namespace tessaly
