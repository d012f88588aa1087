// The files seam on Windows: the standard-library implementation, whose paths
// Windows takes with their backslashes, except for copying. MinGW's
// std::filesystem::copy_file takes any two files of one drive for the same
// file (their stat records carry no inode) and refuses to overwrite.
#pragma once
#include "platform/common/StdFiles.h"

namespace kovado::platform {

class Win32Files : public StdFiles {
public:
    bool Copy(const std::wstring& from, const std::wstring& to) override;
};

}  // namespace kovado::platform
