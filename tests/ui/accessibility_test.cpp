// The main window as a screen reader and a keyboard user meet it: the real program on a virtual
// screen with the accessibility bus, read through AT-SPI as Orca reads it and driven by key
// presses only.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "platform/storage/linux/linux_storage.h"
#include "tests/helpers/accessible_desktop.h"
#include "tests/helpers/blkio_throttle.h"
#include "tests/helpers/loop_device.h"
#include "tests/helpers/run_program.h"

namespace {

using testing_support::AccessibleDesktop;
using testing_support::RunProgram;

constexpr char kPython[] = "/usr/bin/python3";  // Debian's, which has pyatspi
constexpr char kAppName[] = "sectorsmith";

// One object of the tree as the probe prints it.
struct Node {
    int depth = 0;
    std::string role;
    std::string name;
    std::string states;
    std::string description;
    std::string value;
    std::string labels;

    bool Has(const std::string& state) const {
        return ("," + states + ",").find("," + state + ",") != std::string::npos;
    }
};

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, separator)) {
        fields.push_back(field);
    }
    return fields;
}

std::vector<Node> ParseNodes(const std::string& text) {
    std::vector<Node> nodes;
    for (const std::string& line : Split(text, '\n')) {
        std::vector<std::string> f = Split(line, '\t');
        if (f.size() < 4 || f[0].empty() ||
            f[0].find_first_not_of("0123456789") != std::string::npos) {
            continue;  // a warning of the bindings, not a line of the tree
        }
        f.resize(7);
        nodes.push_back({std::stoi(f[0]), f[1], f[2], f[3], f[4], f[5], f[6]});
    }
    return nodes;
}

std::string Probe(const std::string& command) {
    std::string out;
    RunProgram({kPython, A11Y_PROBE, command, kAppName}, &out);
    return out;
}

// The objects the window offers; waits for the window to appear, while the program runs.
std::vector<Node> Tree(AccessibleDesktop* desktop = nullptr) {
    for (int attempt = 0; attempt < 40 && (desktop == nullptr || desktop->ProgramRunning());
         ++attempt) {
        std::vector<Node> nodes = ParseNodes(Probe("tree"));
        if (!nodes.empty()) {
            return nodes;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return {};
}

// The children of the main window (the first window of the program).
std::vector<Node> Controls(const std::vector<Node>& tree) {
    std::vector<Node> controls;
    for (size_t i = 1; i < tree.size() && tree[i].depth > 0; ++i) {
        if (tree[i].depth == 1) {
            controls.push_back(tree[i]);
        }
    }
    return controls;
}

const Node* Find(const std::vector<Node>& nodes, const std::string& role, const std::string& name) {
    for (const Node& n : nodes) {
        if (n.role == role && n.name == name) {
            return &n;
        }
    }
    return nullptr;
}

// The rows of the log, as read.
std::vector<std::string> Rows(const std::vector<Node>& tree) {
    std::vector<std::string> rows;
    for (const Node& n : tree) {
        if (n.role == "table cell") {
            rows.push_back(n.name);
        }
    }
    return rows;
}

std::string Focused() {
    std::vector<Node> nodes = ParseNodes(Probe("focus"));
    return nodes.empty() ? std::string() : nodes.back().name;
}

void Keys(const std::vector<std::string>& keys) {
    std::vector<std::string> args{"xdotool", "key", "--delay", "80"};
    args.insert(args.end(), keys.begin(), keys.end());
    ASSERT_EQ(RunProgram(args), 0);
}

// Gives the program's main window the keyboard focus back after a box or dialog closed, as the
// desktop's window manager does (the virtual screen has none).
void FocusProgram() {
    ASSERT_EQ(
        RunProgram({"xdotool", "search", "--name", "^Sectorsmith $", "windowfocus", "--sync"}), 0);
}

// Presses Tab until the focus is on the control named name (at most a round of the window).
void TabTo(const std::string& name) {
    for (int i = 0; i < 10 && Focused() != name; ++i) {
        Keys({"Tab"});
    }
    ASSERT_EQ(Focused(), name);
}

template <typename Ready>
bool WaitFor(Ready ready, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return true;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ScreenReader : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!desktop.ok()) {
            GTEST_SKIP() << desktop.failure();
        }
    }
    void Start() { desktop.StartProgram(SECTORSMITH_PROGRAM); }

    AccessibleDesktop desktop;
};

TEST_F(ScreenReader, EveryShownControlHasANameAndItsRoleAndNothingHiddenIsOffered) {
    Start();
    const std::vector<Node> tree = Tree(&desktop);
    ASSERT_FALSE(tree.empty()) << desktop.ProgramLog();
    EXPECT_EQ(tree[0].role, "frame");
    EXPECT_EQ(tree[0].name, "Sectorsmith ");
    const std::vector<Node> controls = Controls(tree);

    for (const char* hidden :
         {"OK", "Cancel", "Start Copy", "Create Physical Drive image", "Source", "Image file"}) {
        for (const Node& n : controls) {
            EXPECT_NE(n.name, hidden) << "a hidden control is offered";
        }
    }
    int combos = 0;
    for (const Node& n : controls) {
        combos += n.role == "combo box";
        EXPECT_TRUE(n.Has("showing")) << n.role << " \"" << n.name << "\" is offered unseen";
        if (n.Has("focusable")) {
            EXPECT_FALSE(n.name.empty()) << "a nameless " << n.role;
        }
        EXPECT_NE(n.role, "filler") << "\"" << n.name << "\" has no role";
    }
    EXPECT_EQ(combos, 1);

    const Node* group = Find(controls, "panel", "Restore image to physical drive  (max. 2Gb)");
    EXPECT_NE(group, nullptr) << "the group box is not read as a group";
    EXPECT_NE(Find(controls, "table", "Messages"), nullptr);
    EXPECT_NE(Find(controls, "push button", "Start Restore"), nullptr);
    EXPECT_NE(Find(controls, "push button", "Stop"), nullptr);
    // Orca names a field or a list by its label relation first.
    const Node* target = Find(controls, "combo box", "Target");
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->labels, "Target (max 2G)");
    const Node* field = Find(controls, "text", "Source image");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->labels, "Source image");
    EXPECT_NE(Find(controls, "label", "Source image"), nullptr);
    EXPECT_NE(Find(controls, "label", "Target (max 2G)"), nullptr);
    const Node* browse = Find(controls, "push button", "...");
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(browse->description, "Choose the image file");
    const Node* progress = Find(controls, "progress bar", "Progress");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->value, "0/0..100");

    // Idle: the green lamp lit, the red one not.
    const Node* busy = Find(controls, "status bar", "Busy lamp");
    const Node* ready = Find(controls, "status bar", "Ready lamp");
    ASSERT_NE(busy, nullptr);
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(busy->description, "unlit");
    EXPECT_EQ(ready->description, "lit");
}

TEST_F(ScreenReader, TabWalksTheControlsAsTheWindowShowsThem) {
    Start();
    ASSERT_FALSE(Tree(&desktop).empty()) << desktop.ProgramLog();
    std::vector<std::string> walked{Focused()};
    for (int i = 0; i < 6; ++i) {
        Keys({"Tab"});
        walked.push_back(Focused());
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"Messages", "...", "Source image", "Target",
                                                "Start Restore", "Stop", "Messages"}));
}

// The operator's way to a restore onto a loop device, with keys only: the image through the Open
// dialog, the loop device picked in the target list, the focus on "Start Restore". The device is
// held to a slow stick's speed (the program inherits the limits), so that a restore lasts long
// enough for the screen reader, whose every question the window answers between two blocks.
class KeyboardRestore : public ScreenReader {
  protected:
    void SetUp() override {
        ScreenReader::SetUp();
        if (IsSkipped()) {
            return;
        }
        if (!loop.ok()) {
            GTEST_SKIP() << loop.failure();
        }
        image = loop.folder() + "/stick image.img";
        bytes.resize(6u << 20);
        std::mt19937 random(24);
        for (char& b : bytes) {
            b = static_cast<char>(random());
        }
        std::ofstream(image, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
    }

    void PrepareWithKeys() {
        Start();
        // The target list's entries, in order: the loop device's names its disk number. The
        // window may be read before the screen reader is told of the list's entries, and a disk
        // that comes or goes meanwhile moves the numbers: both asked again for a while.
        std::string disk;
        int index = -1;
        std::string offered;
        WaitFor(
            [&] {
                platform::storage::LinuxStorage storage;
                const std::string drive = storage.PhysicalDriveNameOf(loop.device());
                if (drive.empty()) {
                    return false;
                }
                disk = "Disk " + drive.substr(std::string("PHYSICALDRIVE").size()) + " -->";
                offered.clear();
                index = -1;
                int entries = 0;
                for (const Node& n : Tree(&desktop)) {
                    if (n.depth == 3 && n.name.rfind("Disk ", 0) == 0) {
                        index = n.name.rfind(disk, 0) == 0 ? entries : index;
                        offered += "\n  " + n.name;
                        ++entries;
                    }
                }
                return index >= 0;
            },
            10);
        ASSERT_GE(index, 0) << loop.device() << " (" << disk
                            << ") is not offered; offered:" << offered << "\n"
                            << desktop.ProgramLog();

        // The image, through the Open dialog: its name field has the focus.
        TabTo("...");
        Keys({"space"});
        std::this_thread::sleep_for(std::chrono::seconds(2));
        Keys({"ctrl+a"});
        ASSERT_EQ(RunProgram({"xdotool", "type", "--delay", "20", image}), 0);
        Keys({"Return"});
        std::this_thread::sleep_for(std::chrono::seconds(1));
        FocusProgram();
        ASSERT_TRUE(WaitFor([&] { return Focused() == "..."; }, 10));
        Keys({"Tab"});
        EXPECT_EQ(Focused(), "Source image");
        const std::vector<Node> chosen = Controls(Tree());
        const Node* edit = Find(chosen, "text", "Source image");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->value, image);

        // The target, with the arrow keys.
        Keys({"Tab"});
        ASSERT_EQ(Focused(), "Target");
        for (int i = 0; i <= index; ++i) {
            Keys({"Down"});
        }
        TabTo("Start Restore");
    }

    // Starts listening to what the screen reader hears, into heard().
    std::unique_ptr<testing_support::DaemonProcess> Listen() {
        auto listener = std::make_unique<testing_support::DaemonProcess>(
            std::vector<std::string>{kPython, A11Y_PROBE, "listen", kAppName, "120"}, heard());
        EXPECT_TRUE(
            WaitFor([&] { return ReadFile(heard()).find("listening") != std::string::npos; }, 10));
        return listener;
    }
    std::string heard() const { return desktop.folder() + "/heard.log"; }

    testing_support::LoopDevice loop{{}};
    testing_support::BlkioThrottle slow{loop.device(), 2u << 20, 4u << 20};
    std::string image;
    std::vector<char> bytes;
};

// A restore with the keyboard alone, heard through the screen reader's events.
TEST_F(KeyboardRestore, IsHeardAndWritesTheImage) {
    PrepareWithKeys();
    if (HasFatalFailure()) {
        return;
    }

    // Escape declines: No is the safe answer, nothing is written or logged.
    Keys({"space"});
    std::this_thread::sleep_for(std::chrono::seconds(1));
    {
        // Busy while the box asks: the lamps swap, disabled controls keep their names, Stop stays.
        const std::vector<Node> busyControls = Controls(Tree());
        const Node* busy = Find(busyControls, "status bar", "Busy lamp");
        ASSERT_NE(busy, nullptr);
        EXPECT_EQ(busy->description, "lit");
        const Node* start = Find(busyControls, "push button", "Start Restore");
        ASSERT_NE(start, nullptr);
        EXPECT_FALSE(start->Has("sensitive"));
        // Qt names a combo box on Linux by its selection; its label relation keeps the name.
        bool targetLabelled = false;
        for (const Node& n : busyControls) {
            targetLabelled =
                targetLabelled || (n.role == "combo box" && n.labels == "Target (max 2G)");
        }
        EXPECT_TRUE(targetLabelled);
        EXPECT_NE(Find(busyControls, "text", "Source image"), nullptr);
        const Node* stop = Find(busyControls, "push button", "Stop");
        ASSERT_NE(stop, nullptr);
        EXPECT_TRUE(stop->Has("sensitive") && stop->Has("focusable"));
    }
    Keys({"Escape"});
    std::this_thread::sleep_for(std::chrono::seconds(1));
    FocusProgram();
    ASSERT_TRUE(WaitFor(
        [&] {
            const std::vector<Node> controls = Controls(Tree());
            const Node* ready = Find(controls, "status bar", "Ready lamp");
            return ready != nullptr && ready->description == "lit";
        },
        10));

    // Enter takes the default, No: still nothing. Then Yes, reached with Shift+Tab.
    TabTo("Start Restore");
    Keys({"space"});
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Keys({"Return"});
    std::this_thread::sleep_for(std::chrono::seconds(1));
    FocusProgram();
    EXPECT_EQ(Rows(Tree()), std::vector<std::string>{});
    TabTo("Start Restore");
    auto listener = Listen();
    Keys({"space"});
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Keys({"shift+Tab", "Return"});
    ASSERT_TRUE(
        WaitFor([&] { return ReadFile(heard()).find("Finished") != std::string::npos; }, 90))
        << ReadFile(heard());
    listener->Stop();

    const std::string log = ReadFile(heard());
    EXPECT_NE(log.find("notification\tWritten. Reading the drive back to check it\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("notification\tRead-back ended: Finished\n"), std::string::npos) << log;
    // The bar's value was read out as it moved, between its ends.
    bool between = false;
    for (const std::string& line : Split(log, '\n')) {
        const std::vector<std::string> f = Split(line, '\t');
        if (f.size() == 3 && f[0] == "value" && f[1] == "Progress") {
            const double v = std::stod(f[2]);
            between = between || (v > 0 && v < 1000);
        }
    }
    if (slow.ok()) {
        EXPECT_TRUE(between)
            << log;  // at full speed the listener may hear the bar at its ends only
    }
    EXPECT_EQ(Rows(Tree()), std::vector<std::string>{"Finished"})
        << "the log does not read as shown";
    EXPECT_EQ(RunProgram({"cmp", "-n", std::to_string(bytes.size()), image, loop.device()}), 0);
}

TEST_F(KeyboardRestore, StopIsReachedWithTabWhileItRuns) {
    if (!slow.ok()) {
        GTEST_SKIP() << slow.failure();
    }
    PrepareWithKeys();
    if (HasFatalFailure()) {
        return;
    }
    auto listener = Listen();
    Keys({"space"});
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Keys({"shift+Tab", "Return"});
    std::this_thread::sleep_for(std::chrono::seconds(1));
    FocusProgram();
    TabTo("Stop");
    Keys({"space"});
    ASSERT_TRUE(WaitFor(
        [&] { return ReadFile(heard()).find("User aborts restoring") != std::string::npos; }, 60))
        << ReadFile(heard());
    EXPECT_EQ(ReadFile(heard()).find("Finished"), std::string::npos);
    const std::vector<std::string> rows = Rows(Tree());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].find("  Error: User aborts restoring"), std::string::npos) << rows[0];
}

}  // namespace
