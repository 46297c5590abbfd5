// Image names listed like files in folders.
#include "Core/Media/Container/ImageIndex.h"

#include <gtest/gtest.h>

namespace
{
file::ImageIndex Index(std::initializer_list<const wchar_t*> names)
{
    file::ImageIndex index;
    for (const wchar_t* name : names)
    {
        auto info = std::make_unique<base::ImageInfo>();
        info->mName = name;
        index.AppendToOrder(index.Insert(std::move(info)).first);
    }
    return index;
}

using Names = std::vector<std::wstring>;

Names Images(const file::ImageIndex& index, const wchar_t* folder, bool recursive, bool relative)
{
    Names out;
    index.ListImages(folder, recursive, out, relative);
    return out;
}

Names Folders(const file::ImageIndex& index, const wchar_t* folder, bool relative)
{
    Names out;
    index.ListFolders(folder, out, relative);
    return out;
}
} // namespace

TEST(ImageIndex, ListsImagesInDocumentOrderAndFoldersOnceInNameOrderIgnoringLetterCase)
{
    const file::ImageIndex index = Index({L"top", L"menu/play", L"menu/sub/deep", L"menu/exit", L"menu/play"});
    EXPECT_EQ(Images(index, L"menu", false, false), (Names{L"menu/play", L"menu/exit"})); // each name once
    EXPECT_EQ(Images(index, L"menu\\", true, true), (Names{L"play", L"sub/deep", L"exit"}));
    EXPECT_EQ(Images(index, L"", false, false), Names{L"top"});
    EXPECT_TRUE(Images(index, L"men", true, false).empty()); // whole folder names only
    // Folder prefixes ignore letter case; sub-folders are listed once, in name order.
    const file::ImageIndex cased = Index({L"Button/Normal", L"button/over", L"Menu/Sub/x"});
    EXPECT_EQ(Images(cased, L"BUTTON/", false, true), (Names{L"Normal", L"over"}));
    EXPECT_EQ(Folders(cased, L"", false), (Names{L"Button", L"Menu", L"button"}));
    EXPECT_TRUE(cased.HasFolder(L"menu"));
    // Names are found as given or lowered, never by a prefix.
    EXPECT_TRUE(cased.HasName(L"Button/Normal"));
    EXPECT_TRUE(cased.HasName(L"BUTTON/OVER"));
    EXPECT_FALSE(cased.HasName(L"button/normal"));
    EXPECT_FALSE(cased.HasName(L"button/ov"));
    // Sub-folders are listed once, in name order.
    const file::ImageIndex folders = Index({L"ui/z/1", L"ui/a/1", L"ui/a/2", L"ui/a/b/3", L"ui/file", L"other/x"});
    EXPECT_EQ(Folders(folders, L"ui", true), (Names{L"a", L"z"}));
    EXPECT_EQ(Folders(folders, L"ui/a/", false), Names{L"ui/a/b"});
    EXPECT_EQ(Folders(folders, L"", true), (Names{L"other", L"ui"}));
    EXPECT_TRUE(folders.HasFolder(L"ui/a"));
    EXPECT_FALSE(folders.HasFolder(L"ui/z"));
    EXPECT_FALSE(folders.HasFolder(L"u"));
}
