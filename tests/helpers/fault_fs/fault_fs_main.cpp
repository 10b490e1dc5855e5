// A FUSE file system for fault-injection tests. It serves "disk", backed by a real file, and
// "control", to which a test writes commands (one per line, see FaultRules) that make chosen
// reads, writes and fsyncs of "disk" fail, shorten or vanish.
//
//   fault_fs BACKING_FILE MOUNT_POINT
//
// It runs in the foreground, single-threaded, until unmounted or sent SIGTERM.
#define FUSE_USE_VERSION 31

#include <fcntl.h>
#include <fuse.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/helpers/fault_fs/fault_rules.h"

namespace {

constexpr const char* kDiskPath = "/disk";
constexpr const char* kControlPath = "/control";

struct State {
    int backingFd = -1;
    fault_fs::FaultRules rules;
};

State& TheState() {
    static State state;
    return state;
}

bool IsDisk(const char* path) {
    return std::strcmp(path, kDiskPath) == 0;
}
bool IsControl(const char* path) {
    return std::strcmp(path, kControlPath) == 0;
}

void* Init(fuse_conn_info* /*conn*/, fuse_config* config) {
    // Every read and write reaches this process: no page cache for the served files.
    config->direct_io = 1;
    config->kernel_cache = 0;
    return nullptr;
}

int GetAttr(const char* path, struct stat* attributes, fuse_file_info* /*file*/) {
    std::memset(attributes, 0, sizeof *attributes);
    if (std::strcmp(path, "/") == 0) {
        attributes->st_mode = S_IFDIR | 0755;
        attributes->st_nlink = 2;
        return 0;
    }
    if (IsControl(path)) {
        attributes->st_mode = S_IFREG | 0200;
        attributes->st_nlink = 1;
        return 0;
    }
    if (!IsDisk(path)) {
        return -ENOENT;
    }
    struct stat backing {};
    if (::fstat(TheState().backingFd, &backing) != 0) {
        return -errno;
    }
    attributes->st_mode = S_IFREG | 0600;
    attributes->st_nlink = 1;
    attributes->st_size = backing.st_size;
    attributes->st_blocks = backing.st_blocks;
    return 0;
}

int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t /*offset*/,
            fuse_file_info* /*file*/, fuse_readdir_flags /*flags*/) {
    if (std::strcmp(path, "/") != 0) {
        return -ENOENT;
    }
    for (const char* name : {".", "..", kDiskPath + 1, kControlPath + 1}) {
        fill(buffer, name, nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    }
    return 0;
}

int Open(const char* path, fuse_file_info* file) {
    if (!IsDisk(path) && !IsControl(path)) {
        return -ENOENT;
    }
    file->direct_io = 1;
    file->keep_cache = 0;
    return 0;
}

int Read(const char* path, char* buffer, size_t size, off_t offset, fuse_file_info* /*file*/) {
    if (!IsDisk(path)) {
        return -EACCES;
    }
    const State& state = TheState();
    const auto start = static_cast<uint64_t>(offset);
    if (state.rules.FailsRead(start, size)) {
        return -EIO;
    }
    const size_t wanted = state.rules.ShortensRead(start, size) ? size / 2 : size;
    const ssize_t done = ::pread(state.backingFd, buffer, wanted, offset);
    return done < 0 ? -errno : static_cast<int>(done);
}

// Each write to "control" holds whole lines; a malformed one fails the write with EINVAL.
int WriteControl(const char* buffer, size_t size) {
    const std::string text(buffer, size);
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(begin, end - begin);
        if (!line.empty() && !TheState().rules.Apply(line)) {
            return -EINVAL;
        }
        begin = end + 1;
    }
    return static_cast<int>(size);
}

int Write(const char* path, const char* buffer, size_t size, off_t offset,
          fuse_file_info* /*file*/) {
    if (IsControl(path)) {
        return WriteControl(buffer, size);
    }
    const State& state = TheState();
    const auto start = static_cast<uint64_t>(offset);
    if (state.rules.FailsWrite(start, size)) {
        return -EIO;
    }
    if (state.rules.DropsWrite(start, size)) {
        return static_cast<int>(size);
    }
    // A slow stick: every writer waits, the kernel's own writeback included.
    if (const uint64_t delay = state.rules.WriteDelayMicroseconds(size); delay > 0) {
        ::usleep(static_cast<useconds_t>(delay));
    }
    const ssize_t done = ::pwrite(state.backingFd, buffer, size, offset);
    return done < 0 ? -errno : static_cast<int>(done);
}

int Flush(const char* path, fuse_file_info* /*file*/) {
    return IsDisk(path) && TheState().rules.FailsFsync() ? -EIO : 0;
}

int Fsync(const char* path, int dataOnly, fuse_file_info* /*file*/) {
    if (!IsDisk(path)) {
        return 0;
    }
    if (TheState().rules.FailsFsync()) {
        return -EIO;
    }
    const int fd = TheState().backingFd;
    return (dataOnly != 0 ? ::fdatasync(fd) : ::fsync(fd)) == 0 ? 0 : -errno;
}

// The loop driver and shells may truncate or resize; only the current size is accepted.
int Truncate(const char* path, off_t size, fuse_file_info* /*file*/) {
    if (IsControl(path)) {
        return 0;
    }
    struct stat backing {};
    if (!IsDisk(path) || ::fstat(TheState().backingFd, &backing) != 0) {
        return -ENOENT;
    }
    return size == backing.st_size ? 0 : -EPERM;
}

fuse_operations Operations() {
    fuse_operations operations{};
    operations.init = Init;
    operations.getattr = GetAttr;
    operations.readdir = ReadDir;
    operations.open = Open;
    operations.read = Read;
    operations.write = Write;
    operations.flush = Flush;
    operations.fsync = Fsync;
    operations.truncate = Truncate;
    return operations;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BACKING_FILE MOUNT_POINT\n", argv[0]);
        return 2;
    }
    TheState().backingFd = ::open(argv[1], O_RDWR | O_CLOEXEC);
    if (TheState().backingFd < 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<std::string> words = {argv[0], "-f", "-s", "-o", "fsname=fault_fs", argv[2]};
    std::vector<char*> fuseArgv;
    for (std::string& word : words) {
        fuseArgv.push_back(word.data());
    }
    const fuse_operations operations = Operations();
    const int status =
        fuse_main(static_cast<int>(fuseArgv.size()), fuseArgv.data(), &operations, nullptr);
    ::close(TheState().backingFd);
    return status;
}
