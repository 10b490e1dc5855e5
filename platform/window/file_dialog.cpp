#include "platform/window/file_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/window/modal_parent.h"
#include "platform/window/native_window.h"
#include "platform/window/window_messages.h"
#include "platform/window/wnd.h"

namespace {

// "Images|*.img|All|*.*||" -> "Images (*.img)", "All (*.*)".
QStringList ParseFilter(const std::string& filter) {
    QStringList parts = QString::fromUtf8(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty()) {
            break;
        }
        out << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(';', ' ') +
                   QLatin1Char(')');
    }
    return out;
}

bool HasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExt, const char* fileName,
                         DWORD flags, const char* filter, CWnd* parent)
    : open_(openFileDialog != FALSE),
      defaultExt_(defaultExt != nullptr ? defaultExt : ""),
      fileName_(fileName != nullptr ? fileName : ""),
      flags_(flags),
      filter_(filter != nullptr ? filter : ""),
      parent_(parent) {}

intptr_t CFileDialog::DoModal() {
    QWidget* parentWidget = parent_ != nullptr ? platform::window::WidgetOf(parent_->m_hWnd)
                                               : platform::window::ModalParentWidget();
    QFileDialog dialog(parentWidget, open_ ? QStringLiteral("Open") : QStringLiteral("Save As"),
                       QDir::currentPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(open_ ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open_ && (flags_ & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                             : QFileDialog::AnyFile);
    if (!(flags_ & OFN_OVERWRITEPROMPT)) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    QPalette palette = dialog.palette();
    platform::window::ApplyDialogColours(palette);
    dialog.setPalette(palette);

    // "*.img" and ".img" both mean the extension img.
    QString ext = QString::fromUtf8(defaultExt_);
    while (ext.startsWith(QLatin1Char('*')) || ext.startsWith(QLatin1Char('.'))) {
        ext.remove(0, 1);
    }
    if (!ext.isEmpty() && !ext.contains(QLatin1Char('*')) && !ext.contains(QLatin1Char('?'))) {
        dialog.setDefaultSuffix(ext);
    }
    QStringList filters;
    if (HasWildcard(fileName_)) {
        filters << QString::fromUtf8(fileName_);  // the initial name filters the listing
    }
    filters << ParseFilter(filter_);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    if (!fileName_.empty() && !HasWildcard(fileName_)) {
        dialog.selectFile(QString::fromUtf8(fileName_));
    }
    pathName_.clear();
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return IDCANCEL;
    }
    pathName_ = QFile::encodeName(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath())
                    .toStdString();
    return IDOK;
}

std::string CFileDialog::GetFileName() const {
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(pathName_)))
        .fileName()
        .toStdString();
}
