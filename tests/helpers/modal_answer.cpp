#include "tests/helpers/modal_answer.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/window/dialog.h"
#include "platform/window/qt/native_window.h"
#include "platform/window/window_messages.h"

namespace test_helpers {

void WhenNextModalOpens(std::function<void(QWidget*)> action, int timeoutMs,
                        std::function<bool()> stillWanted, bool required) {
    QPointer<QWidget> before = QApplication::activeModalWidget();
    // Deletes itself below; a timer still waiting when the test ends goes with the application.
    auto* timer = new QTimer(QCoreApplication::instance());
    auto remaining = std::make_shared<int>(timeoutMs / 10);
    QObject::connect(timer, &QTimer::timeout,
                     [timer, before, remaining, action, stillWanted, required] {
                         if (stillWanted && !stillWanted()) {
                             timer->stop();
                             timer->deleteLater();
                             return;
                         }
                         QWidget* modal = QApplication::activeModalWidget();
                         if (modal != nullptr && modal != before && modal->isVisible()) {
                             timer->stop();
                             timer->deleteLater();
                             // The user acts on the window in front: make it the active one first.
                             modal->activateWindow();
                             if (!QTest::qWaitForWindowActive(modal, 1000)) {
                                 ADD_FAILURE() << "the modal window did not become active";
                             }
                             action(modal);
                             return;
                         }
                         if (--*remaining <= 0) {
                             timer->stop();
                             timer->deleteLater();
                             if (required) {
                                 ADD_FAILURE() << "no modal window opened";
                             }
                         }
                     });
    timer->start(10);
}

namespace {

QMessageBox::StandardButton ButtonFor(int answer) {
    switch (answer) {
        case IDYES:
            return QMessageBox::Yes;
        case IDNO:
            return QMessageBox::No;
        case IDCANCEL:
            return QMessageBox::Cancel;
        default:
            return QMessageBox::Ok;
    }
}

void Record(QMessageBox* box, MessageBoxSeen& seen) {
    seen.shown = true;
    seen.title = box->windowTitle().toStdString();
    seen.text = box->text().toStdString();
    seen.icon = box->icon();
    for (QAbstractButton* b : box->buttons()) {
        seen.buttons.push_back(b->text().toStdString());
    }
    if (box->defaultButton() != nullptr) {
        seen.defaultButton = box->defaultButton()->text().toStdString();
    }
}

}  // namespace

std::shared_ptr<MessageBoxSeen> AnswerNextMessageBox(int answer) {
    auto seen = std::make_shared<MessageBoxSeen>();
    WhenNextModalOpens([seen, answer](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            ADD_FAILURE() << "the modal window is no message box";
            return;
        }
        Record(box, *seen);
        QAbstractButton* button = box->button(ButtonFor(answer));
        if (button == nullptr) {
            ADD_FAILURE() << "the message box has no button for answer " << answer;
            box->done(0);
            return;
        }
        QTest::mouseClick(button, Qt::LeftButton);
    });
    return seen;
}

std::shared_ptr<MessageBoxSeen> PressEnterInNextMessageBox() {
    auto seen = std::make_shared<MessageBoxSeen>();
    WhenNextModalOpens([seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            ADD_FAILURE() << "the modal window is no message box";
            return;
        }
        Record(box, *seen);
        QWidget* target = box->focusWidget() != nullptr ? box->focusWidget() : box;
        QTest::keyClick(target, Qt::Key_Return);
    });
    return seen;
}

namespace {

void RecordFileDialog(QFileDialog* dialog, FileDialogSeen& seen) {
    seen.shown = true;
    seen.save = dialog->acceptMode() == QFileDialog::AcceptSave;
    seen.nameFilters = dialog->nameFilters();
    seen.defaultSuffix = dialog->defaultSuffix().toStdString();
    seen.confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        seen.proposedName = edit->text().toStdString();
    }
}

}  // namespace

std::shared_ptr<FileDialogSeen> AnswerNextFileDialog(const std::string& path, bool overwrite) {
    auto seen = std::make_shared<FileDialogSeen>();
    WhenNextModalOpens([seen, path, overwrite](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) {
            ADD_FAILURE() << "the modal window is no file dialog";
            return;
        }
        RecordFileDialog(dialog, *seen);
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (edit == nullptr) {
            ADD_FAILURE() << "the file dialog has no name field";
            dialog->reject();
            return;
        }
        // An overwrite question opens inside Enter's handling: answer it when it comes.
        QPointer<QFileDialog> guard(dialog);
        WhenNextModalOpens(
            [overwrite, guard](QWidget* question) {
                if (auto* box = qobject_cast<QMessageBox*>(question)) {
                    QAbstractButton* b =
                        box->button(overwrite ? QMessageBox::Yes : QMessageBox::No);
                    if (b != nullptr) {
                        QTest::mouseClick(b, Qt::LeftButton);
                    }
                    if (!overwrite && guard) {
                        QTimer::singleShot(0, guard, [guard] {
                            if (guard) {
                                guard->reject();
                            }
                        });
                    }
                }
            },
            5000, [guard] { return !guard.isNull() && guard->isVisible(); }, false);
        // The text goes in as a whole (typing would open the name completer's list, which
        // takes the Enter), then Enter accepts as the user's would.
        edit->setFocus();
        edit->setText(QString::fromStdString(path));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    return seen;
}

std::shared_ptr<FileDialogSeen> CancelNextFileDialog() {
    auto seen = std::make_shared<FileDialogSeen>();
    WhenNextModalOpens([seen](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) {
            ADD_FAILURE() << "the modal window is no file dialog";
            return;
        }
        RecordFileDialog(dialog, *seen);
        dialog->reject();
    });
    return seen;
}

intptr_t RunModal(CDialog& dialog, std::function<void(CDialog&)> inside) {
    CDialog* target = &dialog;
    WhenNextModalOpens([target, inside](QWidget* modal) {
        if (modal != platform::window::WidgetOf(target->m_hWnd)) {
            ADD_FAILURE() << "another modal window opened first";
            return;
        }
        inside(*target);
        if (target->m_hWnd != nullptr && target->IsWindowVisible()) {
            target->EndDialog(IDCANCEL);
        }
    });
    return dialog.DoModal();
}

}  // namespace test_helpers
