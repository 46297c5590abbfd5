// Reading ~2,000 small files from a pack against reading them loose, and building that pack.
#include "Core/Base/Singletone.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Core/File/ReadFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
constexpr int kFiles = 2000;

// A folder tree "td/" of kFiles files of 200..2,000 bytes in 20 subfolders, made once.
struct Tree
{
    Tree()
    {
        root = std::filesystem::temp_directory_path() / ("ql-bench-file-" + std::to_string(getpid()));
        std::filesystem::create_directories(root);
        std::filesystem::current_path(root);
        for (int i = 0; i < kFiles; ++i)
        {
            std::string name = "folder" + std::to_string(i % 20) + "/file" + std::to_string(i) + ".xml";
            std::filesystem::create_directories(root / "td" / ("folder" + std::to_string(i % 20)));
            std::ofstream(root / "td" / name, std::ios::binary) << std::string(200 + (i * 37) % 1800, 'x');
            names.push_back(L"td/" + std::wstring(name.begin(), name.end()));
        }
        (void)file::BuildPack(L"td", L"data.dat");
    }
    ~Tree()
    {
        base::SingletoneBase::DestroyAll();
        std::filesystem::current_path("/");
        std::filesystem::remove_all(root);
    }
    std::filesystem::path root;
    std::vector<std::wstring> names;
};

Tree& GetTree()
{
    static Tree tree;
    return tree;
}

void ReadAll(benchmark::State& state, bool packed)
{
    Tree& tree = GetTree();
    base::SingletoneBase::DestroyAll();
    if (packed)
        file::FileManager::Instance()->mMounts[L"td/"] = L"data.dat";
    size_t bytes = 0;
    for (auto _ : state)
    {
        for (const std::wstring& name : tree.names)
            bytes += file::ReadFile(name).size();
    }
    if (bytes == 0)
        state.SkipWithError("nothing was read");
    state.SetItemsProcessed(state.iterations() * kFiles);
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    base::SingletoneBase::DestroyAll();
}

void BM_ReadLooseFiles(benchmark::State& state) { ReadAll(state, false); }
void BM_ReadPackedFiles(benchmark::State& state) { ReadAll(state, true); }

void BM_BuildPack(benchmark::State& state)
{
    GetTree();
    for (auto _ : state)
        if (file::BuildPack(L"td", L"rebuilt.dat") != QL_OK)
            state.SkipWithError("build failed");
    state.SetItemsProcessed(state.iterations() * kFiles);
}

void BM_OpenPackIndex(benchmark::State& state)
{
    GetTree();
    for (auto _ : state)
    {
        file::Archiver pack(L"td/", L"data.dat", file::FileManager::Instance());
        benchmark::DoNotOptimize(pack.GetEntries().size());
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
} // namespace

BENCHMARK(BM_ReadLooseFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPackedFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPackIndex)->Unit(benchmark::kMicrosecond);
