// The player profiles file "profiles.xml" in the user-data folder.
#pragma once

#include "Core/Base/Constants.h"
#include "Core/Base/Singletone.h"
#include "Core/Base/Types.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tinyxml2
{
class XMLDocument;
class XMLElement;
} // namespace tinyxml2

namespace file
{
class FileWriter;

// Set when "profiles.xml" existed but was damaged; the main menu reports it and clears it.
extern bool gProfileCorrupt;
// Set when "profiles.xml" existed but could not be read (its permissions); reported the same way.
extern bool gProfileUnreadable;
// Set, at most once per run, when the profiles cannot be saved (the user-data folder cannot be
// made or written, or a save failed); reported the same way.
extern bool gProfilesUnsaved;

// <Profiles currentProfile="..."><Profile name="...">...</Profile>...</Profiles>, names in UTF-8.
class Profiles : public base::Singletone<Profiles>
{
public:
    Profiles();
    // Closes (below) unless that was done.
    ~Profiles() override;
    std::vector<base::SingletoneBase*> GetDependencies() override;

    // (Re)reads the file. A missing file gives the default profile (nothing written). A damaged
    // one is copied aside ("profiles.xml.bad", or the first free "profiles.xml.bad.N"), logged,
    // flagged in gProfileCorrupt and replaced in memory by the default profile. One that cannot
    // be read stays where it is, flagged in gProfileUnreadable, and is never written over.
    QLResultEnum Load();
    // Writes a temporary file and renames it over "profiles.xml"; a failure is reported through
    // ReportUnsaved. With a writer set, the document is printed here and the writer does the
    // rest (on its own thread), reporting a failure at the next save, poll or flush.
    QLResultEnum Save();
    // Saves go through the writer (not owned) from now on; null writes them at once.
    void SetWriter(FileWriter* writer);
    FileWriter* GetWriter() const { return mWriter; }
    // Waits until every save handed to the writer is on disk, then reports any failure.
    void Flush();
    // The save at exit: saves unless this is a second instance of the program, waits until it is
    // on disk and lets go of the document, so that nothing is written after it. QL_FAIL when that
    // save was not made: GetSaveFault tells why.
    QLResultEnum Close();
    // Why the last save that failed was not made; empty when none has.
    const std::wstring& GetSaveFault() const { return mSaveFault; }
    // Reports the failures of saves the writer has finished since the last call.
    void PollWrites();
    // The player's progress cannot be kept: the first report of a run is logged and raises
    // gProfilesUnsaved; later ones (every save after it fails alike) are not.
    void ReportUnsaved(const std::wstring& why);

    // Finds or appends the profile and makes it current; loads first when nothing is loaded. A
    // name holding characters no save keeps (control characters, those XML cannot hold) is
    // taken with U+FFFD in their place, logged, as a new profile: when another profile has that
    // name already, with the first free number ("-2", "-3" ...). So is a name read from the file,
    // and a name given to RenameCurrentProfile.
    tinyxml2::XMLElement* SelectProfile(const std::wstring& name);
    tinyxml2::XMLElement* FindProfile(const std::wstring& name);
    std::vector<std::wstring> GetProfileNames();
    std::wstring GetCurrentProfileName();
    void RenameCurrentProfile(const std::wstring& name);
    // Removing the current profile selects the first remaining one, or recreates the default.
    void DeleteProfile(const std::wstring& name);

    // True the first time the key is given since the last load: what the game finds damaged in
    // the profiles is logged once per load, however often it is read.
    bool FirstReport(const std::string& key) { return mReported.insert(key).second; }

    // A second copy of the program must never write the file.
    void SetSecondInstance(bool secondInstance) { mSecondInstance = secondInstance; }

    std::unique_ptr<tinyxml2::XMLDocument> mDocument;
    tinyxml2::XMLElement* mRootElement = nullptr;
    tinyxml2::XMLElement* mCurrentProfile = nullptr;

private:
    void ResetDocument();
    void KeepDamagedFile();
    std::wstring RepairNames(const std::string& current);
    std::wstring StorableName(const std::wstring& name, const tinyxml2::XMLElement* self);
    bool mSecondInstance = false;
    bool mBackupPending = false; // a damaged file still waits to be copied aside
    bool mUnreadable = false;    // the file on disk could not be read: saving would destroy it
    bool mRefusalLogged = false;
    bool mUnsavedReported = false;
    std::wstring mSaveFault;
    FileWriter* mWriter = nullptr;
    std::set<std::string> mReported;
};
} // namespace file
