#include <io.h>

#include "platform/storage/buffered_file_stream.h"

namespace platform::storage {

bool SyncFileToMedium(std::FILE* file) {
    return ::_commit(::_fileno(file)) == 0;
}

int64_t StreamPosition(std::FILE* file) {
    return ::_ftelli64(file);
}

}  // namespace platform::storage
