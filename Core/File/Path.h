// Path string helpers: "/" and "\" both count as separators; folder paths end with "/".
#pragma once

#include <string>

namespace file
{
std::wstring ToForwardSlashes(const std::wstring& path);
// "\" to "/", trailing "/" removed, one "/" appended; "" when nothing is left.
std::wstring NormalizeDirectoryPath(const std::wstring& path);
// Without the trailing run of separators; "" when the path is only separators.
std::wstring StripTrailingSeparators(const std::wstring& path);
// Up to and including the last separator; "" when there is none.
std::wstring GetDirectory(const std::wstring& path);
// As GetDirectory, but starting after a drive's ":"; "" when no separator follows the ":".
std::wstring GetDirectoryWithoutDrive(const std::wstring& path);
// After the last separator (the whole path when there is none).
std::wstring GetFileName(const std::wstring& path);
// The file name without its extension; a leading "." does not start an extension (".cfg").
std::wstring GetBaseName(const std::wstring& path);
// From the last "." to the end, "." included; "" when a separator follows the last ".".
std::wstring GetExtension(const std::wstring& path);
} // namespace file
