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
} // namespace

TEST(ImageIndex, ListsImagesInDocumentOrderAndFoldersOnceInNameOrderIgnoringLetterCase)
{
    const file::ImageIndex index = Index({L"top", L"menu/play", L"menu/sub/deep", L"menu/exit", L"menu/play"});
    Names out;
    index.ListImages(L"menu", false, out, false);
    EXPECT_EQ(out, (Names{L"menu/play", L"menu/exit"})); // each name once
    out.clear();
    index.ListImages(L"menu\\", true, out, true);
    EXPECT_EQ(out, (Names{L"play", L"sub/deep", L"exit"}));
    out.clear();
    index.ListImages(L"", false, out, false);
    EXPECT_EQ(out, Names{L"top"});
    out.clear();
    index.ListImages(L"men", true, out, false); // whole folder names only
    EXPECT_TRUE(out.empty());
    // Folder prefixes ignore letter case; sub-folders are listed once, in name order.
    const file::ImageIndex cased = Index({L"Button/Normal", L"button/over", L"Menu/Sub/x"});
    out.clear();
    cased.ListImages(L"BUTTON/", false, out, true);
    EXPECT_EQ(out, (Names{L"Normal", L"over"}));
    out.clear();
    cased.ListFolders(L"", out, false);
    EXPECT_EQ(out, (Names{L"Button", L"Menu", L"button"}));
    EXPECT_TRUE(cased.HasFolder(L"menu"));
    // Names are found as given or lowered, never by a prefix.
    EXPECT_TRUE(cased.HasName(L"Button/Normal"));
    EXPECT_TRUE(cased.HasName(L"BUTTON/OVER"));
    EXPECT_FALSE(cased.HasName(L"button/normal"));
    EXPECT_FALSE(cased.HasName(L"button/ov"));
    // Sub-folders are listed once, in name order.
    const file::ImageIndex folders = Index({L"ui/z/1", L"ui/a/1", L"ui/a/2", L"ui/a/b/3", L"ui/file", L"other/x"});
    out.clear();
    folders.ListFolders(L"ui", out, true);
    EXPECT_EQ(out, (Names{L"a", L"z"}));
    out.clear();
    folders.ListFolders(L"ui/a/", out, false);
    EXPECT_EQ(out, Names{L"ui/a/b"});
    out.clear();
    folders.ListFolders(L"", out, true);
    EXPECT_EQ(out, (Names{L"other", L"ui"}));
    EXPECT_TRUE(folders.HasFolder(L"ui/a"));
    EXPECT_FALSE(folders.HasFolder(L"ui/z"));
    EXPECT_FALSE(folders.HasFolder(L"u"));
}
