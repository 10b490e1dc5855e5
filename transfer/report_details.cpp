#include "transfer/report_details.h"

#include "platform/storage/failure_cause.h"

using platform::storage::ByteCountText;

namespace report_details {

std::string SizeWindow(int32_t sizeKB) {
    const std::string sum = "The drive's volumes add up to " + std::to_string(sizeKB) + " KB";
    if (sizeKB < 2) {
        return sum + ": a drive is written only when its volumes hold at least 2 KB.";
    }
    return sum +
           ", more than 2 GB (2097152 KB): only drives whose volumes add up to at most "
           "2 GB are written.";
}

std::string TooLong(uint64_t length, uint64_t room, bool roomIsTheDrive) {
    const std::string image = "The image holds " + ByteCountText(length);
    if (roomIsTheDrive) {
        return image + ", more than the whole drive holds: " + ByteCountText(room) +
               ". Nothing was written.";
    }
    return image + ": images of more than 2 GB cannot be restored. Nothing was written.";
}

std::string LongerThanTold(uint64_t length) {
    return "The image gives more than the " + ByteCountText(length) +
           " its file records: it is damaged. The drive holds its first " + ByteCountText(length) +
           ".";
}

std::string PastTheEnd(uint64_t room, bool roomIsTheDrive) {
    if (roomIsTheDrive) {
        return "The image goes on past the end of the drive, which holds " + ByteCountText(room) +
               ": the drive holds only its beginning.";
    }
    return "The image goes on past 2 GB, more than can be restored: the drive holds only its "
           "first 2 GB.";
}

std::string NotStored(uint64_t offset) {
    return "The drive did not keep what was written to it: read back, its bytes from offset " +
           std::to_string(offset) +
           " on differ from the image. It acknowledged writes it never "
           "stored; the stick or card may be failing or counterfeit.";
}

std::string ShortWrite(uint64_t offset, uint32_t written, uint32_t wanted) {
    return "Writing the drive failed at byte " + std::to_string(offset) + ": it took only " +
           std::to_string(written) + " of the " + std::to_string(wanted) + " bytes written.";
}

std::string Stopped(uint64_t written, bool readBack) {
    if (readBack) {
        return "Stopped while the drive was read back: all " + ByteCountText(written) +
               " of the image were written, but not all of them were checked.";
    }
    return "Stopped after " + ByteCountText(written) +
           " of the image were written; the rest of the drive is as it was. What was written "
           "was not read back.";
}

std::string StoppedBeforeWriting(const std::string& how) {
    const std::string stopped = "Stopped before anything was written: the drive is as it was.";
    return how.empty() ? stopped : stopped + " " + how;
}

std::string Finished(uint64_t written, bool unchecked, const std::string& note) {
    std::string finished = "All " + ByteCountText(written) +
                           " of the image were written, then read back from the drive: they "
                           "match.";
    if (unchecked) {
        finished +=
            " The image carried no checksum of its own, so damage in it could not be "
            "detected.";
    }
    return note.empty() ? finished : finished + " " + note;
}

std::string Copied(uint64_t copied) {
    return "Stopped after " + ByteCountText(copied) + " of the drive were copied into the image.";
}

std::string StorageCause(const char* fallback) {
    const std::string& cause = platform::storage::FailureCause();
    return cause.empty() ? fallback : cause;
}

}  // namespace report_details
