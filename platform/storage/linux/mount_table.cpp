#include "platform/storage/linux/mount_table.h"

#include <libmount/libmount.h>

#include <memory>

namespace platform::storage {

namespace {

struct TableUnref {
    void operator()(libmnt_table* table) const { mnt_unref_table(table); }
};
struct IterFree {
    void operator()(libmnt_iter* iter) const { mnt_free_iter(iter); }
};

std::string Text(const char* text) {
    return text ? text : "";
}

}  // namespace

bool IsAtOrInside(const std::string& path, const std::string& folder) {
    if (folder == "/") {
        return !path.empty() && path.front() == '/';
    }
    if (path.compare(0, folder.size(), folder) != 0) {
        return false;
    }
    return path.size() == folder.size() || path[folder.size()] == '/';
}

std::optional<MountTable> MountTable::Load(const std::string& path) {
    std::unique_ptr<libmnt_table, TableUnref> table(mnt_new_table());
    std::unique_ptr<libmnt_iter, IterFree> iter(mnt_new_iter(MNT_ITER_FORWARD));
    if (!table || !iter || mnt_table_parse_file(table.get(), path.c_str()) != 0) {
        return std::nullopt;
    }
    std::vector<MountEntry> entries;
    libmnt_fs* fs = nullptr;
    while (mnt_table_next_fs(table.get(), iter.get(), &fs) == 0) {
        MountEntry entry;
        entry.source = Text(mnt_fs_get_source(fs));
        entry.target = Text(mnt_fs_get_target(fs));
        entry.fsRoot = Text(mnt_fs_get_root(fs));
        entry.fsType = Text(mnt_fs_get_fstype(fs));
        entry.devno = mnt_fs_get_devno(fs);
        entry.mountId = mnt_fs_get_id(fs);
        entry.vfsOptions = Text(mnt_fs_get_vfs_options(fs));
        entry.fsOptions = Text(mnt_fs_get_fs_options(fs));
        entries.push_back(std::move(entry));
    }
    return MountTable(std::move(entries));
}

const MountEntry* MountTable::Holding(const std::string& resolvedPath) const {
    const MountEntry* best = nullptr;
    for (const MountEntry& entry : entries_) {
        if (IsAtOrInside(resolvedPath, entry.target) &&
            (best == nullptr || entry.target.size() >= best->target.size())) {
            best = &entry;
        }
    }
    return best;
}

}  // namespace platform::storage
