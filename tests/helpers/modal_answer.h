#pragma once

#include <QMessageBox>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDialog;
class QWidget;

namespace test_helpers {

// Runs action on the next modal window that opens (one that is not the modal window active
// now), from inside its modal loop, as a user would act on it. Fails the test when none opens
// within timeoutMs (unless required is false). With stillWanted, stops quietly as soon as that
// returns false.
void WhenNextModalOpens(std::function<void(QWidget*)> action, int timeoutMs = 5000,
                        std::function<bool()> stillWanted = nullptr, bool required = true);

// What a message box showed.
struct MessageBoxSeen {
    bool shown = false;
    std::string title;
    std::string text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    std::vector<std::string> buttons;  // in order, e.g. "&Yes", "&No"
    std::string defaultButton;
};

// Answers the next message box with answer (IDYES, IDNO, IDOK, IDCANCEL) by clicking that
// button; what the box showed is written into the returned record once it opened.
std::shared_ptr<MessageBoxSeen> AnswerNextMessageBox(int answer);
// Answers the next message box by pressing Enter (its default button).
std::shared_ptr<MessageBoxSeen> PressEnterInNextMessageBox();

// What a file dialog asked.
struct FileDialogSeen {
    bool shown = false;
    bool save = false;
    QStringList nameFilters;
    std::string defaultSuffix;
    std::string proposedName;  // the text in the file-name field when it opened
    bool confirmsOverwrite = false;
};

// Types path into the next file dialog's name field and presses Enter; when that opens an
// overwrite question, answers it with overwrite (Yes) or not (No, then the dialog is cancelled).
std::shared_ptr<FileDialogSeen> AnswerNextFileDialog(const std::string& path,
                                                     bool overwrite = true);
// Cancels the next file dialog.
std::shared_ptr<FileDialogSeen> CancelNextFileDialog();

// Runs dialog.DoModal(); inside its modal loop, once OnInitDialog has run, calls inside and
// then ends the dialog with IDCANCEL unless inside ended it. Returns DoModal's result.
intptr_t RunModal(CDialog& dialog, std::function<void(CDialog&)> inside);

}  // namespace test_helpers
