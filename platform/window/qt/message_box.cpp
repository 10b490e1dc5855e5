#include "platform/window/message_box.h"

#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "platform/window/qt/modal_parent.h"
#include "platform/window/win_app.h"
#include "platform/window/window_messages.h"

namespace {

struct Choice {
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<Choice> ChoicesOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        case MB_YESNOCANCEL:
            return {{QMessageBox::Yes, IDYES},
                    {QMessageBox::No, IDNO},
                    {QMessageBox::Cancel, IDCANCEL}};
        case MB_YESNO:
            return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        default:
            return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// Adds the details section and opens it: the box's own details button toggles it.
void ShowDetails(QMessageBox& box, const std::string& details) {
    box.setDetailedText(QString::fromStdString(details));
    for (QAbstractButton* button : box.buttons()) {
        if (box.buttonRole(button) == QMessageBox::ActionRole) {
            button->click();
        }
    }
}

}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT helpId) {
    return AfxMessageBox(text, type, helpId, std::string());
}

int AfxMessageBox(const char* text, UINT type, UINT, const std::string& details) {
    QMessageBox box(platform::window::ModalParentWidget());
    box.setWindowTitle(QString::fromStdString(AfxGetAppName()));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromUtf8(text != nullptr ? text : ""));
    box.setIcon(IconOf(type));
    QPalette palette = box.palette();
    platform::window::ApplyDialogColours(palette);
    box.setPalette(palette);

    std::vector<Choice> choices = ChoicesOf(type);
    std::vector<QPushButton*> buttons;
    for (const Choice& c : choices) {
        buttons.push_back(box.addButton(c.button));
    }
    size_t defaultIndex = ((type & MB_DEFMASK) >> 8);
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
    // Escape answers Cancel where there is one; a Yes/No box has no way out but its buttons.
    QPushButton* escape = nullptr;
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].answer == IDCANCEL || choices.size() == 1) {
            escape = buttons[i];
        }
    }
    box.setEscapeButton(escape);
    if (!details.empty()) {
        ShowDetails(box, details);
    }
    box.exec();
    for (size_t i = 0; i < choices.size(); ++i) {
        if (box.clickedButton() == buttons[i]) {
            return choices[i].answer;
        }
    }
    return escape != nullptr ? IDCANCEL : choices.back().answer;
}
