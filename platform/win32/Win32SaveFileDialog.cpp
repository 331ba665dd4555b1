// SPDX-License-Identifier: MIT
#include "platform/win32/Win32SaveFileDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace tapelark {
namespace {

// A writable copy of a text buffer that holds at least `capacity` characters,
// as the dialog may fill all of them. The record pads its texts with blanks
// to the buffer's length; a name ending in blanks is no file name (Windows
// drops them, Wine's dialog fails on them), so the text ends at its last
// character that is not a blank. Blanks before the name stay: they are part of it.
std::vector<char> Buffer(const std::string& text, std::uint32_t capacity) {
    std::vector<char> buffer(std::max<std::size_t>(capacity, text.size() + 1), '\0');
    const std::size_t end = text.find_last_not_of(' ');
    if (end != std::string::npos) std::copy(text.begin(), text.begin() + end + 1, buffer.begin());
    return buffer;
}

// What the dialog wrote, laid over the old contents as the platform does:
// the caller finds the path before the first NUL.
void WriteBack(std::string& text, const std::vector<char>& buffer) {
    const std::size_t written = strnlen(buffer.data(), buffer.size());
    text.assign(buffer.data(), std::max(written, std::min(text.size(), buffer.size())));
}

static_assert(sizeof(void*) != 4 ||
              offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName) == 76);

}  // namespace

int Win32SaveFileDialog::Run(SaveFileRecord& record) {
    std::vector<char> file = Buffer(record.file, record.maxFile);
    std::vector<char> fileTitle = Buffer(record.fileTitle, record.maxFileTitle);

    OPENFILENAMEA dialog{};
    // The record's size stands for the 32-bit layout (76 bytes), which is what
    // the 32-bit program passes; a 64-bit build needs its own size of that
    // pre-Windows 2000 form.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = reinterpret_cast<HWND>(record.owner);
    dialog.hInstance = reinterpret_cast<HINSTANCE>(record.instance);
    dialog.lpstrFilter = record.filter.empty() ? nullptr : record.filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = std::min<DWORD>(record.maxFile, static_cast<DWORD>(file.size()));
    dialog.lpstrFileTitle = fileTitle.data();
    dialog.nMaxFileTitle = std::min<DWORD>(record.maxFileTitle, static_cast<DWORD>(fileTitle.size()));
    dialog.lpstrInitialDir = record.initialDir.empty() ? nullptr : record.initialDir.c_str();
    dialog.lpstrTitle = record.title.empty() ? nullptr : record.title.c_str();
    dialog.Flags = record.flags;

    const BOOL confirmed = GetSaveFileNameA(&dialog);
    if (confirmed) {
        WriteBack(record.file, file);
        WriteBack(record.fileTitle, fileTitle);
    }
    return confirmed ? 1 : 0;
}

}  // namespace tapelark
