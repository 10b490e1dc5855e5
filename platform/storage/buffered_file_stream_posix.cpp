#include <unistd.h>

#include "platform/storage/buffered_file_stream.h"

namespace platform::storage {

bool SyncFileToMedium(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0;
}

int64_t StreamPosition(std::FILE* file) {
    return ::ftello(file);
}

}  // namespace platform::storage
