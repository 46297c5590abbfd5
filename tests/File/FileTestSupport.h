// Shared fixture of the file tests: a temporary working folder, fresh singletons, a captured log.
#pragma once

#include "Audio/LogCapture.h"
#include "Core/Base/Singletone.h"
#include "Core/Base/Stream.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace filetest
{
// The bytes a stream gives (it is deleted), or "<null>" without one.
inline std::string StreamText(base::Stream* raw)
{
    std::unique_ptr<base::Stream> stream(raw);
    if (!stream)
        return "<null>";
    std::string bytes(stream->GetSize() + 4, '\0');
    bytes.resize(stream->Read(bytes.data(), static_cast<u32>(bytes.size())));
    return bytes;
}

class FileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        mInDir.emplace(mDir.Path());
        mLog.emplace();
    }
    void TearDown() override
    {
        base::SingletoneBase::DestroyAll();
        mInDir.reset();
    }

    std::filesystem::path Write(const std::string& name, const std::string& bytes = "") const
    {
        return mDir.Write(name, bytes);
    }
    void MakeFolder(const std::string& name) const { std::filesystem::create_directories(mDir.Path() / name); }
    bool OnDisk(const std::string& name) const { return std::filesystem::exists(mDir.Path() / name); }
    std::string Read(const std::string& name) const { return mDir.Read(name); }
    bool LogHas(const std::string& text) const { return mLog->Text().find(text) != std::string::npos; }

    testsupport::TempDir mDir;
    std::optional<audiotest::LogCapture> mLog; // attached to the main log of each test

private:
    std::optional<testsupport::InFolder> mInDir;
};
} // namespace filetest
