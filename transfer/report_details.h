#pragma once

#include <cstdint>
#include <string>

// The details the engine gives beside its reports (shown as the log row's tooltip): what it
// decided itself, in plain words. Causes the storage layer found come from there.
namespace report_details {

// The drive's volumes add up to sizeKB, outside the window the engine accepts.
std::string SizeWindow(int32_t sizeKB);
// The image holds length bytes; room is what may be written: the drive's capacity, or the 2 GB
// the engine counts exactly (roomIsTheDrive false).
std::string TooLong(uint64_t length, uint64_t room, bool roomIsTheDrive);
// An image whose file recorded its length gave more bytes than that.
std::string LongerThanTold(uint64_t length);
// A stream of unknown length went on past room.
std::string PastTheEnd(uint64_t room, bool roomIsTheDrive);
// The drive gave back other bytes than were written, from the chunk at offset on.
std::string NotStored(uint64_t offset);
// The drive took only written of the wanted bytes of the write at offset.
std::string ShortWrite(uint64_t offset, uint32_t written, uint32_t wanted);
std::string Stopped(uint64_t written, bool readBack);
// A restore stopped before its first write; how says how the drive's volumes were left (mounted
// again, or one that could not be), empty when there is nothing to say.
std::string StoppedBeforeWriting(const std::string& how);
// unchecked: the image came from compressed data without a checksum of its own; note: what
// closing the drive told, empty when nothing.
std::string Finished(uint64_t written, bool unchecked, const std::string& note);
// A creation stopped after copied bytes.
std::string Copied(uint64_t copied);
// The storage layer's cause of its last failure, or fallback when it gave none.
std::string StorageCause(const char* fallback);

}  // namespace report_details
