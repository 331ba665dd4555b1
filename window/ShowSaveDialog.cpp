// SPDX-License-Identifier: MIT
#include "window/ShowSaveDialog.h"

#include <algorithm>

#include "common/AsciiText.h"

namespace tapelark {
namespace {

inline constexpr std::uint32_t kSaveFlags = kOfnOverwritePrompt | kOfnHideReadOnly | kOfnCreatePrompt;

}  // namespace

std::string NulSeparatedFilter(std::string filter) {
    if (filter.empty() || filter.back() != '|') filter += '|';
    for (char& c : filter)
        if (c == '|') c = '\0';
    return filter;
}

std::string ShowSaveDialog(SaveFileDialog& dialog, ProgramEnvironment& environment,
                           std::uintptr_t owner, const std::string& filter,
                           const std::string& title, const std::string& initialFolder,
                           const std::string& proposedName) {
    SaveFileRecord record;
    record.structSize = kSaveFileRecordSize;
    record.owner = owner;
    // The dialog works without an instance handle; a failing query must not stop it.
    try {
        record.instance = environment.InstanceHandle();
    } catch (...) {
        record.instance = 0;
    }
    record.filter = NulSeparatedFilter(filter);
    record.file.assign(kFileBufferLength, ' ');
    record.file.replace(0, std::min(proposedName.size(), kFileBufferLength), proposedName, 0,
                        kFileBufferLength);
    record.maxFile = kFileBufferLength + 1;
    record.fileTitle.assign(kFileBufferLength, ' ');
    record.maxFileTitle = kFileBufferLength + 1;
    record.initialDir = initialFolder;
    record.title = title;
    record.flags = kSaveFlags;

    int confirmed = 0;
    try {
        confirmed = dialog.Run(record);
    } catch (...) {
        confirmed = 0;  // a dialog that fails is a cancel
    }
    if (confirmed == 0) return {};
    return std::string(TrimBlanks(UpToNul(record.file)));
}

std::string SaveDialogFolder(ProgramEnvironment& environment) {
    std::string folder = environment.ProgramFolder();
    // A program installed in /usr/bin (or Program Files) can't save beside itself.
    if (!environment.FolderWritable(folder)) folder = environment.UserSaveFolder();
    const char separator = environment.PathSeparator();
    if (folder.empty() || folder.back() != separator) folder += separator;
    return folder;
}

}  // namespace tapelark
