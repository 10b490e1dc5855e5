#include "platform/storage/drive_names.h"

#include <gtest/gtest.h>

#include "platform/storage/drive_path.h"

using namespace platform::storage;

namespace {

TEST(DriveNamesTest, BuiltNamesParseBackToTheirNumbersAndLetters) {
    for (uint32_t number : {0u, 1u, 9u, 10u, 123u}) {
        EXPECT_EQ(PhysicalDriveNumber(PhysicalDriveName(number)), number);
        const DrivePath path = DrivePath::Parse(PhysicalDrivePath(number));
        EXPECT_EQ(path.kind, DrivePath::Kind::kPhysicalDrive);
        EXPECT_EQ(path.number, number);
    }
    EXPECT_EQ(PhysicalDriveName(3), "PHYSICALDRIVE3");
    EXPECT_EQ(PhysicalDrivePath(3), "\\\\.\\PHYSICALDRIVE3");
    EXPECT_EQ(VolumePath('E'), "\\\\.\\E:");
    EXPECT_EQ(RootPath('E'), "E:\\");
    EXPECT_EQ(DrivePath::Parse(VolumePath('E')).kind, DrivePath::Kind::kVolume);
    EXPECT_EQ(DrivePath::Parse(RootPath('e')).letter, 'E');
}

TEST(DriveNamesTest, AnythingButAPhysicalDriveNameHasNoNumber) {
    for (const char* name : {"", "PHYSICALDRIVE", "PHYSICALDRIVE01", "PHYSICALDRIVE1 ",
                             "\\\\.\\PHYSICALDRIVE1", "E:", "PHYSICALDRIVE-1", "DRIVE1"}) {
        EXPECT_FALSE(PhysicalDriveNumber(name).has_value()) << name;
    }
}

}  // namespace
