// The resources of the Windows programs as Windows reads them from their files: the shipped
// program's and this test program's version block (the values of resources/version_info.h), the
// shipped program's manifest, icon and bitmaps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window/win32/window_map.h"
#include "resources/resource_ids.h"
#include "resources/version_info.h"

namespace {

using platform::window::Narrow;
using platform::window::Widen;

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

const std::wstring kShippedProgram = Widen(SHIPPED_PROGRAM);

// A program's file loaded for its resources only.
class ResourceFile {
  public:
    explicit ResourceFile(const std::wstring& path)
        : module_(::LoadLibraryExW(path.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ResourceFile() {
        if (module_ != nullptr) {
            ::FreeLibrary(module_);
        }
    }
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    // The bytes of resource id of type; empty when there is none.
    std::string Bytes(LPCSTR type, WORD id) const {
        HRSRC found = ::FindResourceA(module_, MAKEINTRESOURCEA(id), type);
        if (found == nullptr) {
            return {};
        }
        const auto* data = static_cast<const char*>(::LockResource(::LoadResource(module_, found)));
        return std::string(data, ::SizeofResource(module_, found));
    }

  private:
    HMODULE module_;
};

// The version resource of a file, read as Windows reads it.
class VersionResource {
  public:
    explicit VersionResource(const std::wstring& path) {
        DWORD ignored = 0;
        data_.resize(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
        if (data_.empty() || !::GetFileVersionInfoW(
                                 path.c_str(), 0, static_cast<DWORD>(data_.size()), data_.data())) {
            data_.clear();
        }
    }
    bool Found() const { return !data_.empty(); }
    const VS_FIXEDFILEINFO* Fixed() const {
        return static_cast<const VS_FIXEDFILEINFO*>(Value(L"\\"));
    }
    std::string Text(const char* name) const {
        const std::wstring key =
            L"\\StringFileInfo\\" + Widen(SECTORSMITH_STRING_TABLE) + L"\\" + Widen(name);
        const auto* text = static_cast<const wchar_t*>(Value(key.c_str()));
        return text != nullptr ? Narrow(text) : "(none)";
    }
    std::vector<WORD> Translation() const {
        UINT size = 0;
        const void* value = Value(L"\\VarFileInfo\\Translation", &size);
        const auto* words = static_cast<const WORD*>(value);
        return words != nullptr ? std::vector<WORD>(words, words + size / sizeof(WORD))
                                : std::vector<WORD>{};
    }

  private:
    const void* Value(const wchar_t* key, UINT* size = nullptr) const {
        void* value = nullptr;
        UINT length = 0;
        if (data_.empty() ||
            !::VerQueryValueW(const_cast<char*>(data_.data()), key, &value, &length)) {
            return nullptr;
        }
        if (size != nullptr) {
            *size = length;
        }
        return value;
    }

    std::vector<char> data_;
};

DWORD High(uint16_t a, uint16_t b) {
    return (static_cast<DWORD>(a) << 16) | b;
}

class ProgramFiles : public ::testing::TestWithParam<std::wstring> {};

TEST_P(ProgramFiles, CarryTheVersionBlockOfVersionInfo) {
    const VersionResource block(GetParam());
    ASSERT_TRUE(block.Found());
    const VS_FIXEDFILEINFO* fixed = block.Fixed();
    ASSERT_NE(fixed, nullptr);
    const auto& file = kVersionInfo.fileVersion;
    const auto& product = kVersionInfo.productVersion;
    EXPECT_EQ(fixed->dwFileVersionMS, High(file[0], file[1]));
    EXPECT_EQ(fixed->dwFileVersionLS, High(file[2], file[3]));
    EXPECT_EQ(fixed->dwProductVersionMS, High(product[0], product[1]));
    EXPECT_EQ(fixed->dwProductVersionLS, High(product[2], product[3]));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(block.Translation(),
              (std::vector<WORD>{kVersionInfo.language, kVersionInfo.codePage}));
    EXPECT_EQ(block.Text("CompanyName"), kVersionInfo.companyName);
    EXPECT_EQ(block.Text("FileDescription"), kVersionInfo.fileDescription);
    EXPECT_EQ(block.Text("FileVersion"), kVersionInfo.fileVersionText);
    EXPECT_EQ(block.Text("InternalName"), kVersionInfo.internalName);
    EXPECT_EQ(block.Text("LegalCopyright"), kVersionInfo.legalCopyright);
    EXPECT_EQ(block.Text("LegalTrademarks"), kVersionInfo.legalTrademarks);
    EXPECT_EQ(block.Text("OriginalFilename"), kVersionInfo.originalFilename);
    EXPECT_EQ(block.Text("ProductName"), kVersionInfo.productName);
    EXPECT_EQ(block.Text("ProductVersion"), kVersionInfo.productVersionText);
}

INSTANTIATE_TEST_SUITE_P(Windows, ProgramFiles, ::testing::Values(kShippedProgram, ThisProgram()),
                         [](const ::testing::TestParamInfo<std::wstring>& info) {
                             return info.index == 0 ? std::string("Shipped") : std::string("Test");
                         });

TEST(ShippedProgram, AsksForAdministratorRightsTheNewControlsAndEveryMonitorsScale) {
    const ResourceFile program(kShippedProgram);
    ASSERT_TRUE(program.Loaded());
    const std::string manifest = program.Bytes(RT_MANIFEST, 1);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);

    // This test program runs as its user.
    const ResourceFile self(ThisProgram());
    EXPECT_NE(self.Bytes(RT_MANIFEST, 1).find("level=\"asInvoker\""), std::string::npos);
}

// Icon group 128: a 32 x 32 and a 16 x 16 image of 16 colours; bitmaps 130 to 132.
TEST(ShippedProgram, CarriesTheIconAndTheBitmaps) {
    const ResourceFile program(kShippedProgram);
    ASSERT_TRUE(program.Loaded());
    const std::string group = program.Bytes(RT_GROUP_ICON, IDR_MAINFRAME);
    ASSERT_GE(group.size(), 6u);
    const auto word = [&](size_t at) {
        return static_cast<unsigned>(static_cast<uint8_t>(group[at])) |
               static_cast<unsigned>(static_cast<uint8_t>(group[at + 1])) << 8;
    };
    ASSERT_EQ(word(4), 2u) << "two images";
    ASSERT_EQ(group.size(), 6u + 2 * 14);
    for (unsigned i = 0; i < 2; ++i) {
        const size_t entry = 6 + 14 * i;
        EXPECT_EQ(static_cast<uint8_t>(group[entry]), i == 0 ? 32 : 16) << "width";
        EXPECT_EQ(static_cast<uint8_t>(group[entry + 1]), i == 0 ? 32 : 16) << "height";
        EXPECT_EQ(static_cast<uint8_t>(group[entry + 2]), 16) << "colours";
    }
    for (WORD id : {IDB_BUSY_LAMP, IDB_READY_LAMP, IDB_METER_TILES}) {
        EXPECT_FALSE(program.Bytes(RT_BITMAP, id).empty()) << id;
    }
}

}  // namespace
