// Whole-file readers over the file manager.
#include "Core/File/ReadFile.h"

#include "Core/Base/Stream.h"
#include "Core/File/FileManager.h"

#include <memory>

namespace file
{
bool ReadWholeFile(FileContainer& container, const std::wstring& path, std::string& out)
{
    out.clear();
    std::unique_ptr<FileInfo> info(container.GetFileInfo(path));
    std::unique_ptr<base::Stream> stream(info ? info->Open() : nullptr);
    if (!stream)
        return false;
    u32 size = stream->GetSize();
    out.resize(size);
    u32 done = 0;
    while (done < size)
    {
        u32 n = stream->Read(out.data() + done, size - done);
        if (n == 0)
            break;
        done += n;
    }
    if (done != size)
    {
        out.clear();
        return false;
    }
    return true;
}

namespace
{
// The whole file through the file manager, cut at the first zero byte.
bool ReadWhole(const std::wstring& path, std::string& out)
{
    if (!ReadWholeFile(*FileManager::Instance(), path, out))
        return false;
    size_t zero = out.find('\0');
    if (zero != std::string::npos)
        out.resize(zero);
    return true;
}
} // namespace

std::string ReadTextFile(const std::wstring& path)
{
    std::string text;
    ReadWhole(path, text);
    return text;
}

std::string ReadFile(const std::wstring& path, bool* hadBom, bool* ok)
{
    if (hadBom)
        *hadBom = false;
    std::string text;
    bool read = ReadWhole(path, text);
    if (ok)
        *ok = read;
    if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
        static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF)
    {
        text.erase(0, 3);
        if (hadBom)
            *hadBom = true;
    }
    return text;
}
} // namespace file
