#include "platform/window/file_dialog.h"

#include "platform/window/win32/window_map.h"
#include "platform/window/wnd.h"

namespace {

// "Text|*.txt;*.text|All|*.*||" as the system wants it: pairs separated by NULs, two at the end.
std::wstring SystemFilter(const std::string& filter) {
    std::wstring wide = platform::window::Widen(filter);
    for (wchar_t& c : wide) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    wide.push_back(L'\0');
    return wide;
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
    std::wstring file = platform::window::Widen(fileName_);
    file.resize(MAX_PATH * 4, L'\0');
    // "*.img" as default extension means "img".
    std::wstring extension = platform::window::Widen(defaultExt_);
    if (extension.rfind(L"*.", 0) == 0) {
        extension.erase(0, 2);
    }
    const std::wstring filter = SystemFilter(filter_);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = parent_ != nullptr ? parent_->m_hWnd : ::GetActiveWindow();
    ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = flags_ | OFN_EXPLORER | OFN_NOCHANGEDIR;
    const BOOL chosen = open_ ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    if (!chosen) {
        return IDCANCEL;
    }
    pathName_ = platform::window::Narrow(file.c_str());
    return IDOK;
}

std::string CFileDialog::GetFileName() const {
    const size_t slash = pathName_.find_last_of("\\/");
    return slash == std::string::npos ? pathName_ : pathName_.substr(slash + 1);
}
