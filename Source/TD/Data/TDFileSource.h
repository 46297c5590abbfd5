// Where the game data is read from: the file manager in the game, a folder or memory in tests.
#pragma once

#include <map>
#include <string>

class TDFileSource
{
public:
    virtual ~TDFileSource() = default;
    // The whole file as bytes (UTF-8 signature dropped); empty when it is missing.
    virtual std::string readFile(const std::wstring& path) = 0;

    // The source every game-data reader uses: the engine's file manager (packs, then loose
    // files) unless another is installed. The source is not owned.
    static TDFileSource& current();
    static void setCurrent(TDFileSource* source);
};

// Loose files under a root folder ("" is the working directory).
class TDFolderFileSource : public TDFileSource
{
public:
    explicit TDFolderFileSource(std::wstring root = L"") : mRoot(std::move(root)) {}
    std::string readFile(const std::wstring& path) override;

private:
    std::wstring mRoot;
};

// Files held in memory by path.
class TDMemoryFileSource : public TDFileSource
{
public:
    std::string readFile(const std::wstring& path) override;
    void put(const std::wstring& path, std::string bytes) { mFiles[path] = std::move(bytes); }

private:
    std::map<std::wstring, std::string> mFiles;
};

// Drops the UTF-8 signature EF BB BF at the start of a text.
std::string tdDropBom(std::string bytes);
