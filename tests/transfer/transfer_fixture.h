#pragma once

#include <gtest/gtest.h>

#include "tests/helpers/recording_imager.h"

// A machine with a system disk (PHYSICALDRIVE0, volume C holding "/") and a 4 MiB stick
// (PHYSICALDRIVE1, volume E mounted at /media/stick) whose bytes all start as 0xAA.
class TransferTest : public ::testing::Test {
  protected:
    static constexpr uint64_t kStickBytes = 4u << 20;
    static constexpr char kStick[] = "\\\\.\\PHYSICALDRIVE1";
    static constexpr char kImagePath[] = "/home/op/a.img";

    TransferTest() {
        using namespace platform::storage;
        storage.AddDisk(0, 1u << 20);
        storage.AddVolume('C', 0, DRIVE_FIXED, 1u << 20).pathPrefix = "/";
        stick = &storage.AddDisk(1, kStickBytes);
        stick->bytes.assign(kStickBytes, 0xAA);
        storage.AddVolume('E', 1, DRIVE_REMOVABLE, kStickBytes).pathPrefix = "/media/stick/";
    }

    std::vector<uint8_t> StickPrefix(size_t n) const {
        return {stick->bytes.begin(), stick->bytes.begin() + static_cast<std::ptrdiff_t>(n)};
    }

    platform::storage::simulated::SimulatedStorage storage;
    testing_support::RecordingImager imager{storage};
    platform::storage::simulated::SimulatedDisk* stick = nullptr;
};
