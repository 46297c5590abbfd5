// Whole-file readers through the file manager (so mounted packs are used).
#pragma once

#include <string>

namespace file
{
class FileContainer;

// Every byte of a file found through the container (mounts resolved); false when it is missing
// or fewer bytes than its size could be read.
bool ReadWholeFile(FileContainer& container, const std::wstring& path, std::string& out);
// The file's bytes cut at the first zero byte; "" when missing or when fewer bytes than its size
// could be read.
std::string ReadTextFile(const std::wstring& path);
// As ReadTextFile, and a leading UTF-8 signature (EF BB BF) is dropped. hadBom: whether it was
// there (cleared first). ok: whether the file was found and read in full (an empty file is ok).
std::string ReadFile(const std::wstring& path, bool* hadBom = nullptr, bool* ok = nullptr);
} // namespace file
