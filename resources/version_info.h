#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The version block: numeric versions and the US-English (0x0409, code page 0x04B0) strings.
struct VersionInfo {
    std::array<uint16_t, 4> fileVersion;
    std::array<uint16_t, 4> productVersion;
    uint16_t language;
    uint16_t codePage;
    std::string_view companyName;
    std::string_view fileDescription;
    std::string_view fileVersionText;
    std::string_view internalName;
    std::string_view legalCopyright;
    std::string_view legalTrademarks;
    std::string_view originalFilename;
    std::string_view productName;
    std::string_view productVersionText;
};

inline constexpr VersionInfo kVersionInfo{
    {1, 0, 0, 1},
    {1, 0, 0, 1},
    0x0409,
    0x04B0,
    "",
    "Sectorsmith MFC Application",
    "1, 0, 0, 1",
    "Sectorsmith",
    "",
    "",
    "Sectorsmith.EXE",
    "Sectorsmith Application",
    "1, 0, 0, 1",
};
