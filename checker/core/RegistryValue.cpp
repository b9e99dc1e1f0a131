#include "RegistryValue.h"

namespace tessaly {

std::string KeptValueBytes(const unsigned char* data, std::size_t size) {
    if (size == 0 || data == nullptr) return std::string();
    if (data[size - 1] == 0) --size;
    return std::string(reinterpret_cast<const char*>(data), size);
}

std::uint32_t NumberFromKeptBytes(const std::string& kept) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < kept.size() && i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(kept[i])) << (8 * i);
    }
    return value;
}

void ApplyRegistryValue(std::uint32_t type, const std::string& kept,
                        const std::string& keptAsText, std::string& keyVal) {
    if (type == kRegistryText) {
        keyVal = keptAsText;
    } else if (type == kRegistryNumber) {
        keyVal = std::to_string(NumberFromKeptBytes(kept));
    }
}

}  // namespace tessaly
