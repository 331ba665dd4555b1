// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace tapelark {

inline constexpr std::uint32_t kOfnOverwritePrompt = 2;
inline constexpr std::uint32_t kOfnHideReadOnly = 4;
inline constexpr std::uint32_t kOfnCreatePrompt = 8192;

// The members of OPENFILENAMEA that the save command sets; the platform's
// dialog reads them and writes the chosen path over `file`, NUL-terminated.
struct SaveFileRecord {
    std::uint32_t structSize = 0;
    std::uintptr_t owner = 0;
    std::uintptr_t instance = 0;
    std::string filter;  // description, NUL, pattern, NUL, ...; c_str() adds the closing NUL
    std::string file;    // the file buffer
    std::uint32_t maxFile = 0;
    std::string fileTitle;
    std::uint32_t maxFileTitle = 0;
    std::string initialDir;
    std::string title;
    std::uint32_t flags = 0;
};

// The contract of comdlg32's GetSaveFileNameA: modal, non-zero when the user
// confirmed a name, 0 when cancelled or when the dialog failed.
class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;
    virtual int Run(SaveFileRecord& record) = 0;
};

}  // namespace tapelark
