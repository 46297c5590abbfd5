// Shared fixture of the image container tests: a temporary working folder, fresh singletons,
// registered container makers, a captured log, and builders of PSD files and folders.
#pragma once

#include "Core/Base/Log.h"
#include "Core/Base/Singletone.h"
#include "Core/File/FileManager.h"
#include "Core/Media/Container/ImageContainers.h"
#include "Core/Media/Image/ImageContainer.h"
#include "PsdBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace containertest
{
class CaptureOutput : public base::LogOutput
{
public:
    explicit CaptureOutput(std::shared_ptr<std::wstring> text) : mText(std::move(text)) {}
    void Write(const std::wstring& text) override { *mText += text; }

private:
    std::shared_ptr<std::wstring> mText;
};

// A layer of one colour: top, left, height, width as a PSD stores its rectangle.
psdtest::LayerSpec Solid(const std::string& name, i32 left, i32 top, i32 width, i32 height, u32 argb);
psdtest::LayerSpec GroupStart(const std::string& name);
psdtest::LayerSpec GroupEnd();

class ContainerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        mOldDir = std::filesystem::current_path();
        std::filesystem::current_path(mDir.Path());
        base::MainLog::Instance()->AddPlainOutput(new CaptureOutput(mLog));
        file::RegisterImageContainers();
    }
    void TearDown() override
    {
        file::FileContainer::SetImageContainerMakers(nullptr, nullptr);
        base::SingletoneBase::DestroyAll();
        std::filesystem::current_path(mOldDir);
    }

    void Write(const std::string& name, const std::string& bytes) const { mDir.Write(name, bytes); }
    bool LogHas(const std::wstring& text) const { return mLog->find(text) != std::wstring::npos; }
    file::FileManager* Files() const { return file::FileManager::Instance(); }
    std::unique_ptr<file::ImageContainer> Open(const std::wstring& path) const
    {
        return std::unique_ptr<file::ImageContainer>(Files()->OpenImageContainer(path));
    }
    // Packs the folder "src" into "data.dat" and mounts it under "td/".
    void PackAndMount() const;

    testsupport::TempDir mDir;
    std::shared_ptr<std::wstring> mLog = std::make_shared<std::wstring>();

private:
    std::filesystem::path mOldDir;
};
} // namespace containertest
