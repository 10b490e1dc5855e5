#include <gtest/gtest.h>

#include "platform/draw/qt/icon_data.h"
#include "platform/window/menu.h"
#include "platform/window/qt/static_widget.h"
#include "platform/window/window_styles.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/about_dialog.h"

namespace {

using platform::window::WidgetOf;
using test_helpers::RunModal;

class MainWindowStartUp : public MainWindowTest {};

TEST_F(MainWindowStartUp, MessageLogLampsAndMembers) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        std::string caption;
        dialog.GetWindowText(caption);
        EXPECT_EQ(caption, "Sectorsmith ");

        CRect listRect;
        dialog.messageList.GetWindowRect(&listRect);
        EXPECT_EQ(dialog.messageList.GetColumnWidth(0), listRect.Width() - 6);
        EXPECT_EQ(dialog.messageList.GetBkColor(), 0x00E4F4D3u);
        EXPECT_EQ(dialog.messageList.GetTextBkColor(), 0x00E4F4D3u);
        EXPECT_EQ(dialog.messageList.GetExtendedStyle() & 0x21u, 0x21u);
        EXPECT_EQ(dialog.messageList.GetItemCount(), 0);

        EXPECT_EQ(dialog.readyLamp.GetState(), 1);
        EXPECT_EQ(dialog.busyLamp.GetState(), 0);
        EXPECT_EQ(dialog.meter, nullptr);
        EXPECT_EQ(dialog.GetIcon(TRUE), dialog.appIcon);
        EXPECT_EQ(dialog.GetIcon(FALSE), dialog.appIcon);
        EXPECT_FALSE(WidgetOf(dialog.m_hWnd)->windowIcon().isNull());
        EXPECT_EQ(dialog.meterAnchor, &dialog.progressCtrl);
        EXPECT_EQ(dialog.meterTextWnd, dialog.GetDlgItem(IDC_METER_TEXT));
        ASSERT_NE(dialog.meterTiles, nullptr);
        EXPECT_TRUE(static_cast<bool>(*dialog.meterTiles));

        for (int id : {IDC_START_RESTORE, IDC_STOP_RESTORE, IDC_TARGET_DRIVE, IDC_RESTORE_PATH,
                       IDC_BROWSE_RESTORE, IDC_MESSAGE_LIST}) {
            SCOPED_TRACE(id);
            EXPECT_TRUE(Enabled(dialog, id));
            EXPECT_TRUE(dialog.GetDlgItem(id)->IsWindowVisible());
        }
        for (int id : {IDC_START_COPY, IDC_STOP_COPY, IDC_SOURCE_DRIVE, IDC_BROWSE_CREATE,
                       IDC_CREATE_PATH, IDOK, IDCANCEL}) {
            SCOPED_TRACE(id);
            EXPECT_FALSE(dialog.GetDlgItem(id)->IsWindowVisible());
        }
        EXPECT_FALSE(Enabled(dialog, IDC_STOP_COPY));
    });
}

TEST_F(MainWindowStartUp, SystemMenuEndsWithTheAboutEntry) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        CMenu* menu = dialog.GetSystemMenu(FALSE);
        ASSERT_NE(menu, nullptr);
        const auto& entries = menu->Entries();
        ASSERT_GE(entries.size(), 2u);
        EXPECT_EQ(entries[entries.size() - 2].flags & MF_SEPARATOR, MF_SEPARATOR);
        EXPECT_EQ(entries.back().text, "&About Sectorsmith...");
        EXPECT_EQ(entries.back().id, 16u);
    });
}

TEST_F(MainWindowStartUp, AboutBoxOpensFromTheSystemMenu) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        std::string aboutCaption;
        test_helpers::WhenNextModalOpens([&](QWidget* box) {
            aboutCaption = box->windowTitle().toStdString();
            box->close();
        });
        test_helpers::PressKey(&dialog, Qt::Key_Space, Qt::AltModifier);
        ASSERT_TRUE(test_helpers::ChoosePopupEntry("&About Sectorsmith..."));
        QApplication::processEvents();
        EXPECT_EQ(aboutCaption, "About Tolvan");
    });
}

TEST_F(MainWindowStartUp, AboutBoxShowsItsWholeIcon) {
    AboutDialog about;
    RunModal(about, [&](CDialog&) {
        platform::window::StaticWidget* icon = nullptr;
        for (auto* child : WidgetOf(about.m_hWnd)->findChildren<QWidget*>()) {
            auto* control = dynamic_cast<platform::window::StaticWidget*>(child);
            if (control != nullptr && control->Kind() == SS_ICON) {
                icon = control;
            }
        }
        ASSERT_NE(icon, nullptr);
        ASSERT_EQ(icon->size(), QSize(32, 32));
        const QImage drawn = icon->grab().toImage();
        const QImage expected = IconImage(LoadIconResource(IDR_MAINFRAME), 32);
        int opaque = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (expected.pixelColor(x, y).alpha() == 255) {
                    ++opaque;
                    EXPECT_EQ(drawn.pixelColor(x, y).rgb(), expected.pixelColor(x, y).rgb());
                }
            }
        }
        EXPECT_GT(opaque, 0);
    });
}

// Where the minimised window draws its 32 x 32 icon in a square client area of side pixels:
// centred, the odd pixel to the right and below, (side - 32 + 1) / 2 truncated.
struct MinimisedPlacement {
    int side;
    int offset;
};

class MinimisedPainting : public MainWindowStartUp,
                          public ::testing::WithParamInterface<MinimisedPlacement> {};

TEST_P(MinimisedPainting, CentresTheIcon) {
    const int side = GetParam().side;
    const int offset = GetParam().offset;
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        dialog.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(dialog.IsIconic());
        WidgetOf(dialog.m_hWnd)->setMinimumSize(0, 0);
        WidgetOf(dialog.m_hWnd)->resize(side, side);
        CRect client;
        dialog.GetClientRect(&client);
        ASSERT_EQ(client, CRect(0, 0, side, side));

        // The window's own painting, without the controls over it.
        QImage drawn(side, side, QImage::Format_ARGB32_Premultiplied);
        WidgetOf(dialog.m_hWnd)->render(&drawn, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        const QImage icon = IconImage(dialog.appIcon, 32);
        int compared = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const QPoint at(x + offset, y + offset);
                if (icon.pixelColor(x, y).alpha() == 255 && drawn.rect().contains(at)) {
                    ++compared;
                    EXPECT_EQ(drawn.pixelColor(at).rgb(), icon.pixelColor(x, y).rgb())
                        << "icon pixel " << x << "," << y;
                }
            }
        }
        EXPECT_GT(compared, 100);
        dialog.SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    });
}

INSTANTIATE_TEST_SUITE_P(MainWindowStartUp, MinimisedPainting,
                         ::testing::Values(MinimisedPlacement{36, 2}, MinimisedPlacement{33, 1},
                                           MinimisedPlacement{29, -1}),
                         [](const ::testing::TestParamInfo<MinimisedPlacement>& info) {
                             return "Side" + std::to_string(info.param.side);
                         });

TEST_F(MainWindowStartUp, EverySystemCommandFrom16To31OpensTheAboutBox) {
    MainDialog dialog(storage);
    RunModal(dialog, [&](CDialog&) {
        for (UINT id : {16u, 23u, 31u}) {
            SCOPED_TRACE(id);
            bool opened = false;
            test_helpers::WhenNextModalOpens([&](QWidget* box) {
                opened = box->windowTitle() == "About Tolvan";
                box->close();
            });
            dialog.SendMessage(WM_SYSCOMMAND, id, 0);
            EXPECT_TRUE(opened);
        }
    });
}

TEST_F(MainWindowStartUp, EnterEndsTheDialogThroughTheHiddenOkButton) {
    MainDialog dialog(storage);
    const intptr_t result = RunModal(dialog, [&](CDialog&) {
        dialog.GetDlgItem(IDC_RESTORE_PATH)->SetFocus();
        test_helpers::PressKey(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(result, IDOK);
}

}  // namespace
