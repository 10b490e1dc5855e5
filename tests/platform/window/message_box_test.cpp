#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "platform/window/file_dialog.h"
#include "platform/window/message_box.h"
#include "platform/window/win_app.h"
#include "tests/helpers/modal_answer.h"
#include "tests/helpers/qt_test_app.h"
#include "tests/helpers/window_probe.h"
#include "tests/platform/window/sample_dialog.h"

namespace {

class MessageBoxTest : public test_helpers::WindowTest {};

const char* kQuestion =
    "All of the data on logical disk(s) E:\\  will be erased\n       Are you sure???";

TEST_F(MessageBoxTest, ShowsTheExactTextWithTheAppNameAndTheChosenDefault) {
    CWinApp app("Sectorsmith");
    auto seen = test_helpers::AnswerNextMessageBox(IDYES);
    EXPECT_EQ(AfxMessageBox(kQuestion, 0x134, 0), IDYES);
    ASSERT_TRUE(seen->shown);
    EXPECT_EQ(seen->text, kQuestion);
    EXPECT_EQ(seen->title, "Sectorsmith");
    EXPECT_EQ(seen->icon, QMessageBox::Warning);
    EXPECT_EQ(seen->buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(seen->defaultButton, "&No");
}

TEST_F(MessageBoxTest, EnterTakesTheDefaultButton) {
    auto seen = test_helpers::PressEnterInNextMessageBox();
    EXPECT_EQ(AfxMessageBox("Sure?", MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2), IDNO);
    EXPECT_TRUE(seen->shown);
    seen = test_helpers::PressEnterInNextMessageBox();
    EXPECT_EQ(AfxMessageBox("Sure?", MB_YESNO), IDYES);
    seen = test_helpers::AnswerNextMessageBox(IDOK);
    EXPECT_EQ(AfxMessageBox("Done"), IDOK);
    EXPECT_EQ(seen->title, AfxGetAppName());
}

TEST_F(MessageBoxTest, BoxesTakeTheApplicationsDialogColours) {
    CWinApp app("colours");
    app.SetDialogBkColor(RGB(218, 215, 180), RGB(0, 0, 0));
    QColor background;
    test_helpers::WhenNextModalOpens([&](QWidget* box) {
        background = box->palette().color(QPalette::Window);
        static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    AfxMessageBox("colour");
    EXPECT_EQ(background, QColor(218, 215, 180));
    app.SetDialogBkColor();
}

class FileDialogTest : public test_helpers::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override {
        QDir::setCurrent(previous);
        WindowTest::TearDown();
    }
    std::string PathOf(const char* name) const { return dir.filePath(name).toStdString(); }
    void Touch(const char* name) const {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QTemporaryDir dir;
    QString previous;
};

TEST_F(FileDialogTest, OpenWithAWildcardNameFiltersByItAndGivesTheFullPath) {
    Touch("disk.img");
    CFileDialog dialog(TRUE, "*.img", "*.img", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr,
                       nullptr);
    auto seen = test_helpers::AnswerNextFileDialog("disk.img");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_TRUE(seen->shown);
    EXPECT_FALSE(seen->save);
    EXPECT_EQ(seen->nameFilters, QStringList{"*.img"});
    EXPECT_EQ(seen->defaultSuffix, "img");
    EXPECT_EQ(dialog.GetPathName(), PathOf("disk.img"));
    EXPECT_EQ(dialog.GetFileName(), "disk.img");
}

// Types text into the open file dialog's name field and presses Enter, as a user does.
void TypeIntoFileDialog(QFileDialog* dialog, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
}

// The names the dialog's list shows, once its folder has been read (within a second).
QStringList ListedNames(QFileDialog* dialog, const QStringList& expected) {
    auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
    QStringList names;
    for (int attempt = 0; view != nullptr && attempt < 100; ++attempt) {
        names.clear();
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row) {
            names << view->model()->index(row, 0, root).data().toString();
        }
        names.sort();
        if (names == expected) {
            break;
        }
        QTest::qWait(10);
    }
    return names;
}

constexpr char kImageFilter[] = "Images|*.img;*.img.xz;*.img.gz;*.img.bz2;*.img.zst;*.zip||";

TEST_F(FileDialogTest, AFilterEntryListingTheWildcardNameWidensTheFirstView) {
    for (const char* name :
         {"disk.img", "disk.img.xz", "disk.img.zst", "card.zip", "notes.txt", "disk.xz"}) {
        Touch(name);
    }
    CFileDialog dialog(TRUE, "*.img", "*.img", 6, kImageFilter, nullptr);
    QStringList filters;
    QStringList applied;
    QStringList listed;
    QStringList listedAfterStar;
    test_helpers::WhenNextModalOpens([&](QWidget* modal) {
        auto* files = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(files, nullptr);
        filters = files->nameFilters();
        if (auto* model = files->findChild<QFileSystemModel*>()) {
            applied = model->nameFilters();
        }
        listed = ListedNames(files, {"card.zip", "disk.img", "disk.img.xz", "disk.img.zst"});
        TypeIntoFileDialog(files, "*");  // a typed wildcard still filters as it did
        listedAfterStar = ListedNames(
            files, {"card.zip", "disk.img", "disk.img.xz", "disk.img.zst", "disk.xz", "notes.txt"});
        TypeIntoFileDialog(files, "disk.img.xz");
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(filters, QStringList{"*.img *.img.xz *.img.gz *.img.bz2 *.img.zst *.zip"});
    EXPECT_EQ(applied,
              (QStringList{"*.img", "*.img.xz", "*.img.gz", "*.img.bz2", "*.img.zst", "*.zip"}));
    EXPECT_EQ(listed, (QStringList{"card.zip", "disk.img", "disk.img.xz", "disk.img.zst"}));
    EXPECT_EQ(listedAfterStar.size(), 6);
    EXPECT_EQ(dialog.GetPathName(), PathOf("disk.img.xz"));
}

TEST_F(FileDialogTest, AFilterThatDoesNotListTheWildcardNameFollowsIt) {
    CFileDialog dialog(TRUE, "*.img", "*.img", 6, "Text|*.txt|All files|*.*||", nullptr);
    auto seen = test_helpers::CancelNextFileDialog();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(seen->nameFilters, (QStringList{"*.img", "Text (*.txt)", "All files (*.*)"}));
}

TEST_F(FileDialogTest, AWildcardTypedIntoTheOpenDialogFiltersTheListInsteadOfBeingChosen) {
    Touch("disk.img");
    ASSERT_TRUE(QDir(dir.path()).mkdir("more"));
    Touch("more/other.img");
    CFileDialog dialog(TRUE, "*.img", "*.img", 6, nullptr, nullptr);
    bool openAfterStar = false;
    QStringList filterAfterStar;
    QString folderAfterPattern;
    QStringList filterAfterPattern;
    test_helpers::WhenNextModalOpens([&](QWidget* modal) {
        auto* files = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(files, nullptr);
        TypeIntoFileDialog(files, "*");
        openAfterStar = files->isVisible();
        filterAfterStar = files->nameFilters();
        TypeIntoFileDialog(files, "more/*.im?");
        folderAfterPattern = files->directory().absolutePath();
        filterAfterPattern = files->nameFilters();
        TypeIntoFileDialog(files, "other.img");
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(openAfterStar);
    EXPECT_EQ(filterAfterStar, QStringList{"*"});
    EXPECT_EQ(folderAfterPattern, QDir(dir.filePath("more")).absolutePath());
    EXPECT_EQ(filterAfterPattern, QStringList{"*.im?"});
    EXPECT_EQ(dialog.GetPathName(), PathOf("more/other.img"));
}

TEST_F(FileDialogTest, OpenAndSaveStartInTheFolderOfTheFileChosenLast) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("images"));
    Touch("images/a.img");
    CFileDialog open(TRUE, "*.img", "*.img", 6, nullptr, nullptr);
    test_helpers::AnswerNextFileDialog(PathOf("images/a.img"));
    ASSERT_EQ(open.DoModal(), IDOK);

    QString startedIn;
    auto recordFolder = [&](QWidget* modal) {
        auto* files = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(files, nullptr);
        startedIn = files->directory().absolutePath();
        files->reject();
    };
    test_helpers::WhenNextModalOpens(recordFolder);
    CFileDialog save(FALSE, nullptr, "img07Mar2009_140509.img", 6, nullptr, nullptr);
    EXPECT_EQ(save.DoModal(), IDCANCEL);
    EXPECT_EQ(startedIn, QDir(dir.filePath("images")).absolutePath());

    // A cancelled dialog leaves the folder; a folder that has gone gives the current one.
    test_helpers::WhenNextModalOpens(recordFolder);
    CFileDialog again(TRUE, "*.img", "*.img", 6, nullptr, nullptr);
    EXPECT_EQ(again.DoModal(), IDCANCEL);
    EXPECT_EQ(startedIn, QDir(dir.filePath("images")).absolutePath());
    ASSERT_TRUE(QDir(dir.filePath("images")).removeRecursively());
    test_helpers::WhenNextModalOpens(recordFolder);
    EXPECT_EQ(again.DoModal(), IDCANCEL);
    EXPECT_EQ(startedIn, QDir::current().absolutePath());
}

TEST_F(FileDialogTest, SaveProposesTheNameAndAsksBeforeOverwriting) {
    Touch("img07Mar2009_140509.img");
    CFileDialog save(FALSE, nullptr, "img07Mar2009_140509.img", 6, nullptr, nullptr);
    auto seen = test_helpers::AnswerNextFileDialog("img07Mar2009_140509.img", true);
    EXPECT_EQ(save.DoModal(), IDOK);
    EXPECT_TRUE(seen->save);
    EXPECT_TRUE(seen->confirmsOverwrite);
    EXPECT_EQ(seen->proposedName, "img07Mar2009_140509.img");
    EXPECT_EQ(save.GetPathName(), PathOf("img07Mar2009_140509.img"));

    CFileDialog again(FALSE, nullptr, "img07Mar2009_140509.img", 6, nullptr, nullptr);
    test_helpers::AnswerNextFileDialog("img07Mar2009_140509.img", false);
    EXPECT_EQ(again.DoModal(), IDCANCEL);
    EXPECT_EQ(again.GetPathName(), "");
}

TEST_F(FileDialogTest, CancelLeavesNoPathAndDefaultExtensionIsAppended) {
    CFileDialog cancelled(TRUE, "*.img", "*.img", 6, nullptr, nullptr);
    test_helpers::CancelNextFileDialog();
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.GetPathName(), "");

    CFileDialog typed(FALSE, "img", nullptr, 6, "Images|*.img|All files|*.*||", nullptr);
    auto seen = test_helpers::AnswerNextFileDialog("fresh");
    EXPECT_EQ(typed.DoModal(), IDOK);
    EXPECT_EQ(seen->nameFilters, (QStringList{"Images (*.img)", "All files (*.*)"}));
    EXPECT_EQ(typed.GetPathName(), PathOf("fresh.img"));
}

}  // namespace

namespace {

TEST_F(FileDialogTest, AFileDialogOpensFromADialogsButtonAndAnswersIt) {
    Touch("b.img");
    SampleDialog dialog;
    std::string chosen;
    dialog.onStart = [&] {
        CFileDialog open(TRUE, "*.img", "*.img", 6, nullptr, nullptr);
        if (open.DoModal() == IDOK) {
            chosen = open.GetPathName();
        }
    };
    test_helpers::RunModal(dialog, [&](CDialog& d) {
        // An absolute path, as a user may type it.
        auto seen =
            test_helpers::AnswerNextFileDialog(QDir::current().filePath("b.img").toStdString());
        test_helpers::ClickControl(&d, 1005);
        EXPECT_TRUE(seen->shown);
    });
    EXPECT_EQ(chosen, PathOf("b.img"));
}

}  // namespace
