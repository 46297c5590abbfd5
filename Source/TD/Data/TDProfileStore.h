// The profiles document the progress store edits: a list of named profiles and the current one.
#pragma once

#include "Core/Base/Constants.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tinyxml2
{
class XMLDocument;
class XMLElement;
} // namespace tinyxml2

class TDProfileStore
{
public:
    virtual ~TDProfileStore() = default;
    virtual tinyxml2::XMLElement* currentProfile() = 0;
    virtual void save() = 0;
    virtual void selectProfile(const std::wstring& name) = 0;
    virtual void renameCurrentProfile(const std::wstring& name) = 0;
    virtual void deleteProfile(const std::wstring& name) = 0;
    virtual std::vector<std::wstring> profileNames() = 0;
    virtual std::wstring currentProfileName() = 0;
    // True the first time the key is given since the document was loaded: a damaged value is
    // told once however often it is read.
    virtual bool firstReport(const std::string& key) = 0;
};

// A profiles document of its own, optionally saved to a file (temporary file, then rename).
class TDDocumentProfileStore : public TDProfileStore
{
public:
    // An empty path keeps the document in memory only. An existing file is read; a missing or
    // damaged one gives the default profile.
    explicit TDDocumentProfileStore(const std::string& path = "");
    ~TDDocumentProfileStore() override;
    // Replaces the document by the text (a damaged text gives the default profile).
    void loadText(const std::string& text);

    tinyxml2::XMLElement* currentProfile() override { return mCurrent; }
    void save() override;
    void selectProfile(const std::wstring& name) override;
    void renameCurrentProfile(const std::wstring& name) override;
    void deleteProfile(const std::wstring& name) override;
    std::vector<std::wstring> profileNames() override;
    std::wstring currentProfileName() override;
    bool firstReport(const std::string& key) override { return mReported.insert(key).second; }

    tinyxml2::XMLDocument& document() { return *mDocument; }
    int saveCount() const { return mSaves; }
    bool corrupt() const { return mCorrupt; }

private:
    tinyxml2::XMLElement* find(const std::wstring& name);
    void reset();

    std::string mPath;
    std::unique_ptr<tinyxml2::XMLDocument> mDocument;
    tinyxml2::XMLElement* mRoot = nullptr;
    tinyxml2::XMLElement* mCurrent = nullptr;
    int mSaves = 0;
    bool mCorrupt = false;
    std::set<std::string> mReported;
};
