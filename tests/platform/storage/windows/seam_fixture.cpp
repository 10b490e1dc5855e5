#include "seam_fixture.h"

#include <atomic>
#include <fstream>
#include <iterator>

namespace storage_test {

namespace {

std::filesystem::path NewFolder() {
    static std::atomic<int> counter{0};
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("sectorsmith-seam-" + std::to_string(::GetCurrentProcessId()) +
                                    "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace

SeamFixture::SeamFixture() : folder(NewFolder()), calls(folder.string()) {}

SeamFixture::~SeamFixture() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string SeamFixture::AddDisk(uint32_t number, uint64_t size, uint8_t fill) {
    const std::string path = (folder / ("disk-" + std::to_string(number) + ".img")).string();
    std::ofstream file(path, std::ios::binary);
    const std::vector<char> block(1 << 16, static_cast<char>(fill));
    for (uint64_t done = 0; done < size; done += block.size()) {
        file.write(block.data(),
                   static_cast<std::streamsize>(std::min<uint64_t>(block.size(), size - done)));
    }
    SeamDisk& disk = calls.disks[number];
    disk.file = path;
    disk.length = size;
    return path;
}

SeamVolume& SeamFixture::AddVolume(char letter, uint32_t number, UINT type, uint64_t totalBytes) {
    SeamVolume& volume = calls.volumes[letter];
    volume.extents = {{number, 0, static_cast<int64_t>(totalBytes)}};
    volume.driveType = type;
    volume.totalBytes = totalBytes;
    return volume;
}

std::vector<uint8_t> SeamFixture::FileBytes(const std::string& path) const {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool SeamFixture::EventsInclude(const std::string& event) const {
    for (const std::string& seen : calls.events) {
        if (seen == event) {
            return true;
        }
    }
    return false;
}

}  // namespace storage_test
