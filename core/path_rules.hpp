#pragma once

#include <string>
#include <string_view>
#include <vector>

// The rules by which the folder dialog reads an absolute path: its drive, its
// root and the folders down to it. Like the text helpers they read texts in
// the installed code page (core/code_page.hpp).
namespace kavrin {

// Begins with a drive letter and a colon: "C:", "d:\Audio".
bool StartsWithDrive(const std::string& path);

// How long the root of an absolute path is: "C:\", "\\server\share\", "\".
size_t RootLength(std::string_view path);

// The folders from the root down to `folder` itself, root first.
std::vector<std::string> FoldersOnPath(std::string folder);

}  // namespace kavrin
