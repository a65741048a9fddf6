// Files, folders and paths as every test program looks at them.
#pragma once
#include <set>
#include <string>

// An environment variable, or the fallback when it is unset or too long.
std::string EnvOr(const char* name, const char* fallback);
// Unix paths of the build reach Wine programs through drive Z:.
std::string WindowsPath(const std::string& unixPath);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// The whole file, or "<missing>" when it cannot be read.
std::string ReadAll(const std::string& path);
// The file made anew with exactly content; false unless all of it was
// written and the file closed.
bool WriteAll(const std::string& path, const std::string& content);
// The names in a folder: of its files, or of its folders too ("." and ".."
// left out).
std::set<std::string> FilesIn(const std::string& folder);
std::set<std::string> NamesIn(const std::string& folder);
// A key under HKEY_LOCAL_MACHINE, as this program's registry view sees it.
bool KeyExists(const std::string& path);
// A folder and everything in it; a missing folder is no error.
void RemoveTree(const std::string& path);
