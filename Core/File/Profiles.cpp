// Loading, editing and saving "profiles.xml".
#include "Core/File/Profiles.h"

#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/File/FileSystem.h"
#include "Core/File/FileWriter.h"
#include "Core/File/ProfileName.h"
#include "Core/File/ReadFile.h"
#include "Core/File/UserDataFileContainer.h"

#include <tinyxml2.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace file
{
bool gProfileCorrupt = false;
bool gProfileUnreadable = false;
bool gProfilesUnsaved = false;

namespace
{
constexpr int kMaxBackups = 1000;

std::wstring NameOf(const tinyxml2::XMLElement* element)
{
    const char* name = element ? element->Attribute("name") : nullptr;
    return name ? base::StringToWString(name, 1) : std::wstring();
}

// The marks NUL references left outside the names (other attributes, text) read as U+FFFD. The
// walk keeps its own stack: the file decides how deep the document goes.
void ClearNulMarks(tinyxml2::XMLElement* root)
{
    std::vector<tinyxml2::XMLNode*> pending{root};
    while (!pending.empty())
    {
        tinyxml2::XMLNode* node = pending.back();
        pending.pop_back();
        std::string text;
        if (tinyxml2::XMLElement* e = node->ToElement())
        {
            for (const tinyxml2::XMLAttribute* a = e->FirstAttribute(); a; a = a->Next())
                if (ReplaceNulMarks(text = a->Value()))
                    e->SetAttribute(std::string(a->Name()).c_str(), text.c_str());
        }
        else if (node->ToText() && ReplaceNulMarks(text = node->Value()))
        {
            node->SetValue(text.c_str());
        }
        for (tinyxml2::XMLNode* child = node->FirstChild(); child; child = child->NextSibling())
            pending.push_back(child);
    }
}

// The first of base, base-2, base-3 ... that is not taken.
std::wstring FirstFreeName(const std::wstring& base, const std::set<std::wstring>& taken)
{
    std::wstring name = base;
    for (int n = 2; taken.count(name); ++n)
        name = base + L"-" + std::to_wstring(n);
    return name;
}

// The names of every profile but `except`.
std::set<std::wstring> NamesBut(tinyxml2::XMLElement* root, const tinyxml2::XMLElement* except)
{
    std::set<std::wstring> names;
    for (tinyxml2::XMLElement* e = root->FirstChildElement("Profile"); e; e = e->NextSiblingElement("Profile"))
        if (e != except)
            names.insert(NameOf(e));
    return names;
}
} // namespace

// A new run (the tests start many in one process) has told the player nothing yet.
Profiles::Profiles() { gProfilesUnsaved = false; }

Profiles::~Profiles() { (void)Close(); }

QLResultEnum Profiles::Close()
{
    // The failures of earlier saves are told as theirs: what fails after this is the last save's.
    Flush();
    mSaveFault.clear();
    QLResultEnum result = mDocument && !mSecondInstance ? Save() : QL_OK;
    Flush();
    if (!mSaveFault.empty())
        result = QL_FAIL;
    mDocument.reset();
    mRootElement = nullptr;
    mCurrentProfile = nullptr;
    return result;
}

// The log too: the save at exit must still be able to report a failure.
std::vector<base::SingletoneBase*> Profiles::GetDependencies()
{
    return {UserDataFileContainer::Instance(), base::MainLog::Instance()};
}

void Profiles::ResetDocument()
{
    mDocument->Clear();
    mRootElement = mDocument->NewElement("Profiles");
    mDocument->InsertEndChild(mRootElement);
    mCurrentProfile = nullptr;
    SelectProfile(base::kDefaultProfileName);
}

QLResultEnum Profiles::Load()
{
    // The file read back must be the last one saved.
    Flush();
    mDocument = std::make_unique<tinyxml2::XMLDocument>();
    mRootElement = nullptr;
    mCurrentProfile = nullptr;
    mReported.clear();

    if (!UserDataFileContainer::Instance()->Exists(base::kProfilesFileName))
    {
        ResetDocument();
        return QL_OK;
    }

    std::string text;
    const char* fault = nullptr;
    mUnreadable = false;
    if (!ReadWholeFile(*UserDataFileContainer::Instance(), base::kProfilesFileName, text))
    {
        // Not damaged: unreadable (its permissions, or not a plain file, such as a FIFO, which is
        // never waited on). It stays as it is, and no save of this run may replace it with the
        // fresh profile.
        const int error = errno;
        const std::wstring path = UserDataFileContainer::Instance()->GetRootPath() + base::kProfilesFileName;
        QL_LOG(L"'%s' cannot be read (%s); it is left as it is and this run saves no profiles\n")
            << base::LogStyle::Error << path << FileErrorText(path, error);
        gProfileUnreadable = true;
        mUnreadable = true;
        mRefusalLogged = false;
        ResetDocument();
        return QL_OK;
    }
    const size_t nul = ReplaceNulReferences(text);
    if (nul)
        QL_LOG(L"'%s' holds %d character references to NUL, which no name can hold; they read as U+FFFD\n")
            << base::LogStyle::Error << UserDataFileContainer::Instance()->GetRootPath() + base::kProfilesFileName
            << static_cast<i32>(nul);
    if (mDocument->Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS)
        fault = mDocument->ErrorStr();
    else if (!(mRootElement = mDocument->FirstChildElement("Profiles")))
        fault = "no <Profiles> root element";

    if (fault)
    {
        QL_LOG(L"'%s' is damaged (%s); starting with a fresh profile\n")
            << base::LogStyle::Error << UserDataFileContainer::Instance()->GetRootPath() + base::kProfilesFileName
            << fault;
        gProfileCorrupt = true;
        mBackupPending = true;
        KeepDamagedFile();
        ResetDocument();
        return QL_OK;
    }

    // Only the root is ours; stray top-level nodes (text after the root, other elements) are
    // dropped, since tinyxml2 accepts some that it then cannot read back once saved.
    for (tinyxml2::XMLNode* node = mDocument->FirstChild(); node;)
    {
        tinyxml2::XMLNode* next = node->NextSibling();
        if (node != mRootElement)
            mDocument->DeleteNode(node);
        node = next;
    }

    const char* current = mRootElement->Attribute("currentProfile");
    const bool hasCurrent = current != nullptr;
    const std::wstring currentName = RepairNames(current ? current : "");
    if (nul)
        ClearNulMarks(mRootElement); // after the names' repair, which the marks lead
    if (hasCurrent)
        SelectProfile(currentName);
    else if (tinyxml2::XMLElement* first = mRootElement->FirstChildElement("Profile"))
        SelectProfile(NameOf(first)); // no current one recorded: the first profile
    else
        SelectProfile(base::kDefaultProfileName);
    return QL_OK;
}

// Names a save could not keep as they stand are read with U+FFFD in place of each character a
// name cannot hold (and of bytes that are no UTF-8), and logged; a repaired name that meets
// another profile's takes a number, so that no two profiles become one. Gives the current
// profile's name as repaired.
std::wstring Profiles::RepairNames(const std::string& current)
{
    tinyxml2::XMLElement* currentElement = nullptr;
    std::vector<tinyxml2::XMLElement*> repaired;
    for (tinyxml2::XMLElement* e = mRootElement->FirstChildElement("Profile"); e; e = e->NextSiblingElement("Profile"))
    {
        const char* raw = e->Attribute("name");
        if (!raw)
            continue;
        if (!currentElement && current == raw)
            currentElement = e;
        std::wstring name = base::StringToWString(raw, 1);
        const bool cleaned = CleanProfileName(name);
        if (cleaned || base::WStringToString(name, 1) != raw)
        {
            e->SetAttribute("name", base::WStringToString(name, 1).c_str());
            repaired.push_back(e);
        }
    }
    // Names as they stood, and repaired ones already settled, keep theirs; the others give way.
    const std::set<const tinyxml2::XMLElement*> repairedSet(repaired.begin(), repaired.end());
    std::set<std::wstring> settled;
    for (tinyxml2::XMLElement* e = mRootElement->FirstChildElement("Profile"); e; e = e->NextSiblingElement("Profile"))
        if (!repairedSet.count(e))
            settled.insert(NameOf(e));
    for (tinyxml2::XMLElement* e : repaired)
    {
        const std::wstring name = FirstFreeName(NameOf(e), settled);
        settled.insert(name);
        e->SetAttribute("name", base::WStringToString(name, 1).c_str());
        QL_LOG(L"Profile name \"%s\" held characters a saved name cannot keep; they read as U+FFFD\n")
            << base::LogStyle::Error << name;
    }
    if (currentElement)
        return NameOf(currentElement);
    std::wstring name = base::StringToWString(current, 1);
    CleanProfileName(name);
    return name;
}

// Moves the damaged file to the first free "profiles.xml.bad[.N]" so no save can overwrite it.
void Profiles::KeepDamagedFile()
{
    const std::wstring path = UserDataFileContainer::Instance()->GetRootPath() + base::kProfilesFileName;
    FileManager* files = FileManager::Instance();
    if (!files->Exists(path))
    {
        mBackupPending = false;
        return;
    }
    for (int i = 0; i < kMaxBackups; ++i)
    {
        std::wstring backup = path + L".bad";
        if (i > 0)
            backup += L"." + std::to_wstring(i);
        if (files->Exists(backup) || files->IsFolder(backup))
            continue;
        if (RenameFile(path, backup) == QL_OK)
        {
            QL_LOG(L"The damaged profiles file was kept as '%s'\n") << base::LogStyle::Error << backup;
            mBackupPending = false;
        }
        else
        {
            QL_LOG(L"Cannot keep the damaged profiles file as '%s'\n") << base::LogStyle::Error << backup;
        }
        return;
    }
    QL_LOG(L"Cannot keep the damaged profiles file: too many backups\n") << base::LogStyle::Error;
}

QLResultEnum Profiles::Save()
{
    if (!mDocument)
        return QL_OK;
    const std::wstring path = UserDataFileContainer::Instance()->GetRootPath() + base::kProfilesFileName;
    if (mUnreadable)
    {
        mSaveFault = L"'" + path + L"' could not be read and is kept as it is";
        if (!mRefusalLogged)
            QL_LOG(L"Profiles not saved: '%s' could not be read and is kept as it is\n")
                << base::LogStyle::Error << path;
        mRefusalLogged = true;
        return QL_FAIL;
    }
    if (mBackupPending)
        KeepDamagedFile();
    if (mBackupPending)
    {
        // Overwriting now would destroy the only copy of the player's damaged file.
        mSaveFault = L"'" + path + L"' could not be kept aside";
        QL_LOG(L"Profiles not saved: '%s' could not be kept aside\n") << base::LogStyle::Error << path;
        return QL_FAIL;
    }
    UserDataFileContainer* folder = UserDataFileContainer::Instance();
    if (folder->RecreateIfGone())
        QL_LOG(L"The user-data folder '%s' was gone; it is made again\n")
            << base::LogStyle::Error << folder->GetRootPath();
    tinyxml2::XMLPrinter printer;
    mDocument->Print(&printer);
    std::string bytes(printer.CStr(), printer.CStrSize() > 0 ? printer.CStrSize() - 1 : 0);
    std::wstring why;
    PollWrites();
    const QLResultEnum written =
        mWriter ? mWriter->Write(path, std::move(bytes), &why) : WriteFileAtomically(path, bytes, &why);
    if (written == QL_OK)
        return QL_OK;
    ReportUnsaved(why);
    return QL_FAIL;
}

void Profiles::SetWriter(FileWriter* writer)
{
    Flush();
    mWriter = writer;
}

void Profiles::Flush()
{
    if (!mWriter)
        return;
    mWriter->Flush();
    PollWrites();
}

void Profiles::PollWrites()
{
    std::wstring why;
    if (mWriter && mWriter->TakeFailure(why))
        ReportUnsaved(why);
}

void Profiles::ReportUnsaved(const std::wstring& why)
{
    mSaveFault = why;
    if (mUnsavedReported)
        return;
    mUnsavedReported = true;
    gProfilesUnsaved = true;
    QL_LOG(L"Progress will not be saved: %s\n") << base::LogStyle::Error << why;
}

// A name no save could keep is stored with U+FFFD in place of what it cannot hold; when that
// meets the name of a profile other than `self`, with the first free number. Empty when the name
// needs no repair.
std::wstring Profiles::StorableName(const std::wstring& name, const tinyxml2::XMLElement* self)
{
    std::wstring storable = name;
    if (!CleanProfileName(storable))
        return std::wstring();
    storable = FirstFreeName(storable, NamesBut(mRootElement, self));
    QL_LOG(L"Profile name \"%s\" held characters a saved name cannot keep; they are stored as U+FFFD\n")
        << base::LogStyle::Error << storable;
    return storable;
}

tinyxml2::XMLElement* Profiles::SelectProfile(const std::wstring& wanted)
{
    if (!mRootElement)
        (void)Load();
    if (!mRootElement)
        return nullptr;
    // A repaired name is a profile of its own: it never takes over another player's.
    const std::wstring repaired = StorableName(wanted, nullptr);
    const std::wstring& name = repaired.empty() ? wanted : repaired;
    tinyxml2::XMLElement* profile = repaired.empty() ? FindProfile(name) : nullptr;
    if (!profile)
    {
        profile = mDocument->NewElement("Profile");
        profile->SetAttribute("name", base::WStringToString(name, 1).c_str());
        mRootElement->InsertEndChild(profile);
    }
    mCurrentProfile = profile;
    const char* text = profile->Attribute("name");
    mRootElement->SetAttribute("currentProfile", text ? text : "");
    return profile;
}

tinyxml2::XMLElement* Profiles::FindProfile(const std::wstring& name)
{
    if (!mRootElement)
        return nullptr;
    for (tinyxml2::XMLElement* e = mRootElement->FirstChildElement("Profile"); e; e = e->NextSiblingElement("Profile"))
        if (NameOf(e) == name)
            return e;
    return nullptr;
}

std::vector<std::wstring> Profiles::GetProfileNames()
{
    std::vector<std::wstring> names;
    if (!mRootElement)
        return names;
    for (tinyxml2::XMLElement* e = mRootElement->FirstChildElement("Profile"); e; e = e->NextSiblingElement("Profile"))
        names.push_back(NameOf(e));
    return names;
}

std::wstring Profiles::GetCurrentProfileName() { return mCurrentProfile ? NameOf(mCurrentProfile) : std::wstring(); }

void Profiles::RenameCurrentProfile(const std::wstring& name)
{
    if (!mCurrentProfile)
        return;
    const std::wstring repaired = StorableName(name, mCurrentProfile);
    std::string text = base::WStringToString(repaired.empty() ? name : repaired, 1);
    mCurrentProfile->SetAttribute("name", text.c_str());
    mRootElement->SetAttribute("currentProfile", text.c_str());
}

void Profiles::DeleteProfile(const std::wstring& name)
{
    if (!mRootElement)
        (void)Load();
    if (!mRootElement)
        return;
    tinyxml2::XMLElement* profile = FindProfile(name);
    bool wasCurrent = profile && profile == mCurrentProfile;
    if (profile)
        mRootElement->DeleteChild(profile);
    if (!wasCurrent && (profile || mCurrentProfile))
        return;
    mCurrentProfile = nullptr;
    if (tinyxml2::XMLElement* first = mRootElement->FirstChildElement("Profile"))
    {
        mCurrentProfile = first;
        const char* text = first->Attribute("name");
        mRootElement->SetAttribute("currentProfile", text ? text : "");
    }
    else
    {
        SelectProfile(base::kDefaultProfileName);
    }
}
} // namespace file
