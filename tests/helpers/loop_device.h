#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A loop device over a sparse file in a fresh temporary folder, optionally carrying an ext4 file
// system mounted in that folder (at a mount point with a blank in its name). The file system is
// initialised in full and mounted without access times, so it does not write on its own. The
// destructor undoes everything, in reverse order, also when a test failed half-way: unmounts (if
// still mounted), detaches the loop device, removes the folder.
class LoopDevice {
  public:
    struct Options {
        uint64_t sizeBytes = 32u << 20;
        uint32_t sectorSize = 512;  // the loop device's logical block size
        bool withFileSystem = true;
        uint64_t fileSystemBytes = 0;  // the file system's size; 0: the whole device
        bool readOnly = false;         // attached and mounted read-only, as a write-protected card
        bool partitionScan = false;    // the kernel reads the partition table (losetup --partscan)
        // The backing file is read and written past the page cache (losetup --direct-io), so the
        // device is as fast as the disk beneath and keeps no copy of what it was given.
        bool directIo = false;
        std::vector<unsigned char> firstBytes;  // written at the start before attaching
    };

    explicit LoopDevice(Options options);
    ~LoopDevice();
    LoopDevice(const LoopDevice&) = delete;
    LoopDevice& operator=(const LoopDevice&) = delete;

    // Empty when the set-up worked; otherwise why not (not root, no loop devices, ...), worded
    // as the reason for skipping a test.
    const std::string& failure() const { return failure_; }
    bool ok() const { return failure_.empty(); }

    const std::string& device() const { return device_; }          // "/dev/loop3"
    const std::string& folder() const { return folder_; }          // the temporary folder
    const std::string& mountPoint() const { return mountPoint_; }  // empty without a file system

    // Mounts or unmounts the file system again; false on failure.
    bool Mount();
    bool Unmount();

  private:
    std::string failure_;
    std::string folder_;
    std::string backingFile_;
    std::string device_;
    std::string mountPoint_;
    bool readOnly_ = false;
};

}  // namespace testing_support
