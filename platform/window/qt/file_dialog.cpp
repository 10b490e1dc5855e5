#include "platform/window/file_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <vector>

#include "platform/window/qt/modal_parent.h"
#include "platform/window/qt/native_window.h"
#include "platform/window/window_messages.h"
#include "platform/window/wnd.h"

namespace {

struct FilterEntry {
    QString description;
    QStringList patterns;
};

// "Images|*.img;*.img.xz|All|*.*||" -> {"Images", {"*.img", "*.img.xz"}}, {"All", {"*.*"}}.
std::vector<FilterEntry> ParseFilter(const std::string& filter) {
    QStringList parts = QString::fromUtf8(filter).split(QLatin1Char('|'));
    std::vector<FilterEntry> out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty()) {
            break;
        }
        out.push_back({parts[i], parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)});
    }
    return out;
}

bool HasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

// The name filters the dialog offers, the first one shown first. A wildcard initial name filters
// the first view; when the filter's first entry lists that pattern among others, the first view
// lists them all, bare as a typed wildcard is ("*.img *.img.xz"), and that entry is not repeated.
QStringList NameFilters(const std::string& fileName, const std::string& filter) {
    std::vector<FilterEntry> entries = ParseFilter(filter);
    QStringList filters;
    if (HasWildcard(fileName)) {
        const QString pattern = QString::fromUtf8(fileName);
        if (!entries.empty() && entries.front().patterns.contains(pattern)) {
            filters << entries.front().patterns.join(QLatin1Char(' '));
            entries.erase(entries.begin());
        } else {
            filters << pattern;
        }
    }
    for (const FilterEntry& entry : entries) {
        filters << entry.description + QStringLiteral(" (") +
                       entry.patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

// The folder of the last file chosen in any file dialog; the next one starts there.
QString& LastFolder() {
    static QString folder;
    return folder;
}

QString StartFolder() {
    const QString& last = LastFolder();
    return !last.isEmpty() && QDir(last).exists() ? last : QDir::currentPath();
}

// A file dialog that, as the classic one, takes a typed name with a wildcard ("*", "*.img",
// "images/*.img") as the filter of its list (and its folder as the folder shown) instead of
// choosing it.
class ClassicFileDialog : public QFileDialog {
  public:
    using QFileDialog::QFileDialog;

    void accept() override {
        auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = edit != nullptr ? edit->text().trimmed() : QString();
        if (!typed.contains(QLatin1Char('*')) && !typed.contains(QLatin1Char('?'))) {
            QFileDialog::accept();
            return;
        }
        const QFileInfo pattern(directory().filePath(typed));
        if (pattern.dir().exists()) {
            setDirectory(pattern.dir());
        }
        setNameFilter(pattern.fileName());
        edit->clear();
    }
};

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
    ClassicFileDialog dialog(
        parentWidget, open_ ? QStringLiteral("Open") : QStringLiteral("Save As"), StartFolder());
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
    const QStringList filters = NameFilters(fileName_, filter_);
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
    const QFileInfo chosen(dialog.selectedFiles().first());
    pathName_ = QFile::encodeName(chosen.absoluteFilePath()).toStdString();
    LastFolder() = chosen.absolutePath();
    return IDOK;
}

std::string CFileDialog::GetFileName() const {
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(pathName_)))
        .fileName()
        .toStdString();
}
