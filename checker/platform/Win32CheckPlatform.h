// The check run's platform on Windows: the real probe and the file system.
#pragma once

#include "CheckRun.h"

namespace tessaly {

class Win32CheckPlatform : public CheckPlatform {
public:
    std::string FileVersionText(const std::string& path) override;
    std::string FileLanguageName(const std::string& path) override;
    std::string SystemCountryName() override;
    bool FileTimeAndSize(const std::string& path, LocalDateTime& modified,
                         std::uint64_t& size) override;
};

}  // namespace tessaly
