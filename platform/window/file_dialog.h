#pragma once

#include <string>

#include "platform/window/win_types.h"
#include "system_defs/window_constants.h"

class CWnd;

// The Open (openFileDialog true) or Save dialog; it starts in the folder of the file chosen last
// in any file dialog (the current folder at first). defaultExt is appended to a name typed
// without extension ("*.img" counts as "img"); a fileName with a wildcard becomes the name
// filter, another is the proposed name; a name typed with a wildcard filters the list;
// OFN_OVERWRITEPROMPT asks before an existing file is chosen for saving, OFN_FILEMUSTEXIST refuses
// names that do not exist. filter is "Text|*.txt;*.text|All|*.*||" or null; when its first entry
// lists a wildcard fileName among its patterns, the first view lists all of that entry's files.
class CFileDialog {
  public:
    CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr,
                const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);

    // IDOK when a file was chosen, IDCANCEL otherwise.
    intptr_t DoModal();
    // The full path chosen (empty before DoModal ended with IDOK).
    std::string GetPathName() const { return pathName_; }
    std::string GetFileName() const;

  private:
    bool open_;
    std::string defaultExt_;
    std::string fileName_;
    DWORD flags_;
    std::string filter_;
    CWnd* parent_;
    std::string pathName_;
};
