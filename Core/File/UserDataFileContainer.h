// The per-user data folder (profiles, log) as a container.
#pragma once

#include "Core/Base/Singletone.h"
#include "Core/File/Container.h"

namespace file
{
// Paths are relative to mRoot; existence and listings go through the file manager.
class UserDataFileContainerWin32 : public FileContainer
{
public:
    UserDataFileContainerWin32() : FileContainer(false) {}

    base::Stream* OpenStream(const std::wstring& path) override;
    base::StreamCreator* CreateStreamCreator(const std::wstring& path) override;
    std::wstring GetRootPath() override { return mRoot; }

    std::wstring mRoot; // ends with "/"

protected:
    void DoListFiles(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub, bool recursive,
                     std::vector<std::wstring>& out, bool relative) override;
    void DoListFolders(const std::wstring& requested, const std::wstring& inner, const std::wstring& sub,
                       std::vector<std::wstring>& out, bool relative) override;
    bool DoExists(const std::wstring& path, const std::wstring* extensions, u32 count, u32* index) override;
    bool DoIsFolder(const std::wstring& path) override;
};

class UserDataFileContainer : public UserDataFileContainerWin32, public base::Singletone<UserDataFileContainer>
{
public:
    UserDataFileContainer() = default;
    using UserDataFileContainerWin32::Exists; // the container's test, not the singleton's
    std::vector<base::SingletoneBase*> GetDependencies() override;

    // Stores the root (a "/" is appended when missing), creates its folders (unless told not to)
    // and makes sure a file can be created there. QL_FAIL when not, with the reason in
    // GetFault(); the root is kept.
    QLResultEnum SetPath(const std::wstring& path, bool create = true);
    // Why the root cannot hold the player's files ("cannot be created ('/a/b': File exists)",
    // "cannot be written (Permission denied)"); empty when it can.
    const std::wstring& GetFault() const { return mFault; }
    // A root that SetPath was told to create and that has gone since (removed while the game
    // runs) is made again the same way. True when it was gone and is there again.
    bool RecreateIfGone();

private:
    std::wstring mFault;
    bool mCreated = false; // SetPath was told to create the root
};

// The per-user folder: $XDG_DATA_HOME, else $HOME/.local/share (an empty value counts as unset).
// Ends with "/". QL_FAIL when neither variable gives a folder.
QLResultEnum GetPerUserFolder(std::wstring& out);
// The documents fallback: $HOME, ending with "/".
QLResultEnum GetDocumentsFolder(std::wstring& out);
// Per-user folder (or the documents fallback) + publisher + "/" + game + "/".
QLResultEnum GetUserDataFolder(const std::wstring& publisher, const std::wstring& game, std::wstring& out);
} // namespace file
