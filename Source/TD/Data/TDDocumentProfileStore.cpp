// A profiles document of its own: "Profiles" with "currentProfile" and "Profile" children.
#include "Source/TD/Data/TDProfileStore.h"

#include "Core/Base/Log.h"
#include "Core/File/FileSystem.h"
#include "Source/TD/Data/TDText.h"

#include <tinyxml2.h>

TDDocumentProfileStore::TDDocumentProfileStore(const std::string& path) : mPath(path)
{
    std::string text;
    if (!path.empty())
    {
        if (file::ReadRawFile(tdtext::utf8ToWide(path), text) == QL_OK)
        {
            loadText(text);
            return;
        }
    }
    reset();
}

TDDocumentProfileStore::~TDDocumentProfileStore() = default;

void TDDocumentProfileStore::reset()
{
    mDocument = std::make_unique<tinyxml2::XMLDocument>();
    mRoot = mDocument->NewElement("Profiles");
    mDocument->InsertEndChild(mRoot);
    mCurrent = nullptr;
    mReported.clear();
    selectProfile(base::kDefaultProfileName);
}

void TDDocumentProfileStore::loadText(const std::string& text)
{
    auto document = std::make_unique<tinyxml2::XMLDocument>();
    if (document->Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS || !document->FirstChildElement("Profiles"))
    {
        mCorrupt = true;
        reset();
        return;
    }
    mDocument = std::move(document);
    mRoot = mDocument->FirstChildElement("Profiles");
    mCurrent = nullptr;
    mReported.clear();
    const char* current = mRoot->Attribute("currentProfile");
    selectProfile(tdtext::utf8ToWide(current ? current : ""));
}

tinyxml2::XMLElement* TDDocumentProfileStore::find(const std::wstring& name)
{
    std::string wanted = tdtext::wideToUtf8(name);
    for (tinyxml2::XMLElement* p = mRoot->FirstChildElement("Profile"); p; p = p->NextSiblingElement("Profile"))
    {
        const char* own = p->Attribute("name");
        if (wanted == (own ? own : ""))
            return p;
    }
    return nullptr;
}

void TDDocumentProfileStore::selectProfile(const std::wstring& name)
{
    tinyxml2::XMLElement* profile = find(name);
    if (!profile)
    {
        profile = mDocument->NewElement("Profile");
        profile->SetAttribute("name", tdtext::wideToUtf8(name).c_str());
        mRoot->InsertEndChild(profile);
    }
    mCurrent = profile;
    // A "Profile" without a name matches the empty name; its name then reads empty.
    const char* own = profile->Attribute("name");
    mRoot->SetAttribute("currentProfile", own ? own : "");
}

void TDDocumentProfileStore::renameCurrentProfile(const std::wstring& name)
{
    if (!mCurrent)
        return;
    std::string utf8 = tdtext::wideToUtf8(name);
    mCurrent->SetAttribute("name", utf8.c_str());
    mRoot->SetAttribute("currentProfile", utf8.c_str());
}

void TDDocumentProfileStore::deleteProfile(const std::wstring& name)
{
    tinyxml2::XMLElement* profile = find(name);
    bool wasCurrent = profile ? profile == mCurrent : mCurrent == nullptr;
    if (profile)
        mRoot->DeleteChild(profile);
    if (!wasCurrent)
        return;
    mCurrent = nullptr;
    tinyxml2::XMLElement* first = mRoot->FirstChildElement("Profile");
    const char* firstName = first ? first->Attribute("name") : nullptr;
    selectProfile(first ? tdtext::utf8ToWide(firstName ? firstName : "") : std::wstring(base::kDefaultProfileName));
}

std::vector<std::wstring> TDDocumentProfileStore::profileNames()
{
    std::vector<std::wstring> names;
    for (tinyxml2::XMLElement* p = mRoot->FirstChildElement("Profile"); p; p = p->NextSiblingElement("Profile"))
    {
        const char* name = p->Attribute("name");
        names.push_back(tdtext::utf8ToWide(name ? name : ""));
    }
    return names;
}

std::wstring TDDocumentProfileStore::currentProfileName()
{
    const char* name = mCurrent ? mCurrent->Attribute("name") : nullptr;
    return tdtext::utf8ToWide(name ? name : "");
}

void TDDocumentProfileStore::save()
{
    ++mSaves;
    if (mPath.empty())
        return;
    // Written beside the old file and renamed over it: a failed save keeps the old profiles.
    tinyxml2::XMLPrinter printer;
    mDocument->Print(&printer);
    const std::string bytes(printer.CStr(), static_cast<size_t>(printer.CStrSize() - 1));
    if (file::WriteFileAtomically(tdtext::utf8ToWide(mPath), bytes) != QL_OK)
        QL_LOG(L"Cannot save profiles to '%s'\n") << base::LogStyle::Error << mPath;
}
