#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace testing_support {

// A loop device whose backing file is served by fault_fs, a FUSE daemon of the tests, from a
// real file in a fresh temporary folder. Rules make chosen operations on the device's backing
// file fail; each rule replaces the previous one of its kind and holds from the next operation
// on. The destructor detaches the loop device, stops the daemon by its pid, unmounts and removes
// the folder (unmounting its volume first), also when a test failed half-way.
class FaultyLoopDevice {
  public:
    struct Options {
        uint64_t sizeBytes = 8u << 20;
        uint32_t sectorSize = 512;    // the loop device's logical block size
        bool withFileSystem = false;  // an ext4 volume on the device, mounted in the folder
    };

    explicit FaultyLoopDevice(Options options);
    ~FaultyLoopDevice();
    FaultyLoopDevice(const FaultyLoopDevice&) = delete;
    FaultyLoopDevice& operator=(const FaultyLoopDevice&) = delete;

    // Empty when the set-up worked; otherwise why not, worded as the reason for skipping a test.
    const std::string& failure() const { return failure_; }
    bool ok() const { return failure_.empty(); }

    const std::string& device() const { return device_; }  // "/dev/loop3"
    // The real file under the FUSE file system: the bytes that actually reached storage.
    const std::string& backingFile() const { return backingFile_; }
    const std::string& mountPoint() const { return mountPoint_; }  // holds "disk" and "control"
    const std::string& volume() const { return volume_; }  // where the ext4 volume is mounted
    pid_t daemonPid() const { return daemon_; }

    // Byte ranges are offsets in the device; an operation touching the range is affected.
    bool FailWrites(uint64_t offset, uint64_t length);  // the write fails with EIO
    bool FailReads(uint64_t offset, uint64_t length);   // the read fails with EIO
    bool DropWrites(uint64_t offset, uint64_t length);  // reports success, writes nothing
    bool ShortReads(uint64_t offset, uint64_t length);  // returns half the bytes asked for
    bool FailFsync(bool fail);                          // fsync and flush fail with EIO
    bool SlowWrites(uint64_t bytesPerSecond);           // every write waits; 0: full speed
    bool Clear();                                       // removes every rule

  private:
    bool StartDaemon();
    bool WaitForMount();
    bool Attach(uint32_t sectorSize);
    bool MakeVolume();
    void UnmountVolume();
    void Detach();
    void StopDaemon();
    bool Command(const std::string& line);

    std::string failure_;
    std::string folder_;
    std::string backingFile_;
    std::string mountPoint_;
    std::string device_;
    std::string volume_;
    pid_t daemon_ = -1;
};

}  // namespace testing_support
