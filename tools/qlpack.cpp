// qlpack: builds a "qlpack" data pack from a folder, or lists a pack's index.
#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"

#include <clocale>
#include <cstdio>
#include <memory>
#include <string>

namespace
{
// Log lines go to stderr, without the log's own start and end lines.
class StderrOutput : public base::LogOutput
{
public:
    void Write(const std::wstring& text) override
    {
        if (text != L"log initialized\n" && text != L"log terminated\n")
            std::fputs(base::WStringToString(text, 1).c_str(), stderr);
    }
};

int Usage()
{
    std::fputs("usage: qlpack build <folder> <pack>   pack every file under folder (names relative to it)\n"
               "       qlpack list <pack>             print size, offset and name of every entry\n",
               stderr);
    return 2;
}

// Lists what can be read of the index; a damaged index makes the exit code 1.
int List(const std::wstring& packPath)
{
    std::unique_ptr<base::Stream> stream(file::FileManager::Instance()->OpenStream(packPath));
    if (!stream)
    {
        std::fprintf(stderr, "qlpack: no such file '%s'\n", base::WStringToString(packPath, 1).c_str());
        return 1;
    }
    file::ArchiveEntries entries;
    const QLResultEnum result = file::Archiver::ReadIndex(entries, *stream);
    for (const auto& [name, record] : entries)
        std::printf("%10u %10u %s\n", record.mSize, record.mOffset, base::WStringToString(name, 1).c_str());
    if (result == QL_OK)
        return 0;
    std::fprintf(stderr, "qlpack: '%s' has a damaged index; %zu entries readable\n",
                 base::WStringToString(packPath, 1).c_str(), entries.size());
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "C.UTF-8");
    base::MainLog::Instance()->AddPlainOutput(new StderrOutput());
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "build" && argc == 4)
        return file::BuildPack(base::StringToWString(argv[2], 1), base::StringToWString(argv[3], 1)) == QL_OK ? 0 : 1;
    if (command == "list" && argc == 3)
        return List(base::StringToWString(argv[2], 1));
    return Usage();
}
