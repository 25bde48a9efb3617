// The library's one-time set-up per thread and the version text of the client program.
#pragma once

#include <cstdint>
#include <string>

#include <tovcore/AppObject.h>

namespace tovcore::detail {

std::string InitializeDll(const AppObject& AppData, std::int16_t AppVerType);
std::string GetVersion();

// The start values of the remembered skin.
inline constexpr std::int32_t kStartButtonTabColor = 0x804000;
inline constexpr std::int32_t kStartButtonTabTextColor = 0xFFFFFF;
inline constexpr std::int32_t kStartButtonTabColorGradient = 0xC0C0C0;
inline constexpr std::int32_t kStartBackGroundColor = 0xC08000;

}  // namespace tovcore::detail
