#pragma once

// The version block, the one source of its values: the program's resources (sectorsmith.rc,
// through these macros, which the resource compiler reads) and the program's code (kVersionInfo).
#define SECTORSMITH_VERSION_NUMBERS 1, 0, 0, 1
#define SECTORSMITH_VERSION_TEXT "1, 0, 0, 1"
#define SECTORSMITH_LANGUAGE 0x0409
#define SECTORSMITH_CODE_PAGE 0x04B0
#define SECTORSMITH_STRING_TABLE "040904B0"
#define SECTORSMITH_COMPANY_NAME ""
#define SECTORSMITH_FILE_DESCRIPTION "Sectorsmith MFC Application"
#define SECTORSMITH_INTERNAL_NAME "Sectorsmith"
#define SECTORSMITH_LEGAL_COPYRIGHT ""
#define SECTORSMITH_LEGAL_TRADEMARKS ""
#define SECTORSMITH_ORIGINAL_FILENAME "Sectorsmith.EXE"
#define SECTORSMITH_PRODUCT_NAME "Sectorsmith Application"

#ifndef RC_INVOKED

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
    .fileVersion = {SECTORSMITH_VERSION_NUMBERS},
    .productVersion = {SECTORSMITH_VERSION_NUMBERS},
    .language = SECTORSMITH_LANGUAGE,
    .codePage = SECTORSMITH_CODE_PAGE,
    .companyName = SECTORSMITH_COMPANY_NAME,
    .fileDescription = SECTORSMITH_FILE_DESCRIPTION,
    .fileVersionText = SECTORSMITH_VERSION_TEXT,
    .internalName = SECTORSMITH_INTERNAL_NAME,
    .legalCopyright = SECTORSMITH_LEGAL_COPYRIGHT,
    .legalTrademarks = SECTORSMITH_LEGAL_TRADEMARKS,
    .originalFilename = SECTORSMITH_ORIGINAL_FILENAME,
    .productName = SECTORSMITH_PRODUCT_NAME,
    .productVersionText = SECTORSMITH_VERSION_TEXT,
};

#endif
