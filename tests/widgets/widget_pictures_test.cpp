// The meter and the lamps are painted by the program's own code, from the same bitmaps, on every
// system. Their pictures in given states are compared pixel by pixel with the pictures of the
// same states painted on Linux, kept in tests/widgets/pictures (the 3D face colour, which each
// system chooses for itself, kept as magenta). With SECTORSMITH_WRITE_PICTURES=<folder> the
// suite writes this system's pictures into that folder instead; the Linux suite's renew the kept
// ones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/draw/sys_colors.h"
#include "resources/resource_ids.h"
#include "tests/helpers/picture.h"
#include "tests/widgets/meter_window_fixture.h"
#include "widgets/lamp_button.h"

namespace {

constexpr COLORREF kFaceMarker = RGB(255, 0, 255);

// Compares picture with the kept picture of name, or writes it when asked to.
void ExpectKeptPicture(const test_helpers::Picture& picture, const std::string& name) {
    const std::string file = name + ".ppm";
    if (const char* folder = std::getenv("SECTORSMITH_WRITE_PICTURES")) {
        ASSERT_TRUE(test_helpers::WritePicture(picture, std::string(folder) + "/" + file));
        return;
    }
    const auto kept = test_helpers::ReadPicture(std::string(PICTURES_DIR) + "/" + file);
    ASSERT_TRUE(kept) << "no picture " << file;
    EXPECT_EQ(test_helpers::DescribeDifferences(picture, *kept), "") << name;
}

// A meter over a 300 x 16 client area, with the program's tile strip, at a position.
class MeterPictures : public MeterWindowFixture, public ::testing::WithParamInterface<int> {};

TEST_P(MeterPictures, MatchThePictureOfTheSamePositionOnLinux) {
    CBitmap tiles;
    ASSERT_TRUE(tiles.LoadBitmap(IDB_METER_TILES));
    // The meter covers its anchor without clipping it: the anchor paints first, as in the window.
    MakeAnchor(300, 16).UpdateWindow();
    auto meter = MakeMeter(1000, 2, nullptr, &tiles);
    meter->SetPos(GetParam(), TRUE);
    Paint(*meter);
    const test_helpers::Picture picture = test_helpers::GrabClientArea(meter.get());
    ASSERT_EQ(picture.width, 300);
    ASSERT_EQ(picture.height, 16);
    ExpectKeptPicture(picture, "meter_" + std::to_string(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Widgets, MeterPictures, ::testing::Values(0, 450, 1000),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "At" + std::to_string(info.param);
                         });

struct LampState {
    uint16_t bitmap;
    int state;
};

// A lamp over an 18 x 20 check box with one of the program's lamp bitmaps, unlit or lit.
class LampPictures : public test_helpers::WindowTest,
                     public ::testing::WithParamInterface<LampState> {};

TEST_P(LampPictures, MatchThePictureOfTheSameStateOnLinux) {
    test_helpers::TestParentWindow parent(CSize(160, 60), "lamps");
    LampButton lamp;
    ASSERT_TRUE(parent.AttachCheckBox(lamp, 18, 20));
    lamp.LoadFrames(GetParam().bitmap, 15);
    lamp.SetState(GetParam().state);
    lamp.RedrawWindow();
    const test_helpers::Picture picture = test_helpers::WithColourReplaced(
        test_helpers::GrabClientArea(&lamp), GetSysColor(COLOR_BTNFACE), kFaceMarker);
    ASSERT_EQ(picture.width, 18);
    ASSERT_EQ(picture.height, 20);
    ExpectKeptPicture(picture, "lamp_" + std::to_string(GetParam().bitmap) + "_" +
                                   std::to_string(GetParam().state));
}

INSTANTIATE_TEST_SUITE_P(Widgets, LampPictures,
                         ::testing::Values(LampState{IDB_BUSY_LAMP, 0}, LampState{IDB_BUSY_LAMP, 1},
                                           LampState{IDB_READY_LAMP, 0},
                                           LampState{IDB_READY_LAMP, 1}),
                         [](const ::testing::TestParamInfo<LampState>& info) {
                             return "Bitmap" + std::to_string(info.param.bitmap) + "State" +
                                    std::to_string(info.param.state);
                         });

}  // namespace
