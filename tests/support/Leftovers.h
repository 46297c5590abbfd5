// What an earlier run, or someone else, may have left at the name a save writes its temporary file
// under: each kind is planted there by a test and must be found as it was after the save.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace testsupport
{
enum class Leftover
{
    LinkToFile,     // a symbolic link to the saved file
    LinkOutside,    // a symbolic link to a file outside the folder
    DanglingLink,   // a symbolic link to nothing, outside the folder
    Fifo,           // a FIFO no one reads
    Folder,         // an empty folder
    OtherUsersFile, // a plain file of another user (needs root to make)
    HardLink,       // another name of the saved file
    OwnFile,        // a plain file of this user: a save cut short; it may be cleared
};

inline const std::vector<Leftover>& AllLeftovers()
{
    static const std::vector<Leftover> all = {Leftover::LinkToFile, Leftover::LinkOutside, Leftover::DanglingLink,
                                              Leftover::Fifo,       Leftover::Folder,      Leftover::OtherUsersFile,
                                              Leftover::HardLink,   Leftover::OwnFile};
    return all;
}

inline const char* NameOf(Leftover kind)
{
    switch (kind)
    {
    case Leftover::LinkToFile: return "a link to the file";
    case Leftover::LinkOutside: return "a link outside the folder";
    case Leftover::DanglingLink: return "a dangling link";
    case Leftover::Fifo: return "a FIFO";
    case Leftover::Folder: return "a folder";
    case Leftover::OtherUsersFile: return "another user's file";
    case Leftover::HardLink: return "a hard link to the file";
    case Leftover::OwnFile: return "a file of this user";
    }
    return "?";
}

// Plants one leftover at `at`, beside `file` (which must exist for a hard link); what a link
// outside points to lives in `outside`, a folder of its own.
class PlantedLeftover
{
public:
    PlantedLeftover(Leftover kind, std::filesystem::path at, const std::filesystem::path& file,
                    const std::filesystem::path& outside)
        : mKind(kind), mAt(std::move(at)), mFile(file), mTarget(outside / "target.txt")
    {
        namespace fs = std::filesystem;
        std::error_code error;
        switch (kind)
        {
        case Leftover::LinkToFile: fs::create_symlink(file.filename(), mAt, error); break;
        case Leftover::LinkOutside:
            mBytes = "bytes outside the folder";
            WriteBytes(mTarget, mBytes);
            fs::create_symlink(mTarget, mAt, error);
            break;
        case Leftover::DanglingLink: fs::create_symlink(mTarget, mAt, error); break;
        case Leftover::Fifo:
            if (::mkfifo(mAt.c_str(), 0600) != 0)
                error = std::error_code(errno, std::generic_category());
            break;
        case Leftover::Folder: fs::create_directory(mAt, error); break;
        case Leftover::OtherUsersFile:
            if (::geteuid() != 0)
                return; // not made: only root can give a file away
            mBytes = "another user's bytes";
            WriteBytes(mAt, mBytes);
            if (::chown(mAt.c_str(), 65534, 65534) != 0)
                error = std::error_code(errno, std::generic_category());
            break;
        case Leftover::HardLink:
            mBytes = ReadAll(file);
            fs::create_hard_link(file, mAt, error);
            break;
        case Leftover::OwnFile:
            mBytes = "<Profiles><Profile name=\"cut sh";
            WriteBytes(mAt, mBytes);
            break;
        }
        mPlanted = !error;
    }

    bool Planted() const { return mPlanted; }
    const std::filesystem::path& At() const { return mAt; }

    // "" when the leftover is as it was planted (a file of this user may be gone), otherwise what
    // became of it.
    std::string Changed() const
    {
        namespace fs = std::filesystem;
        struct stat info;
        const bool there = ::lstat(mAt.c_str(), &info) == 0;
        const auto linkTo = [&] { return there && S_ISLNK(info.st_mode) ? fs::read_symlink(mAt) : fs::path(); };
        switch (mKind)
        {
        case Leftover::LinkToFile: return linkTo().empty() ? "the link is gone or replaced" : "";
        case Leftover::LinkOutside:
            if (linkTo() != mTarget)
                return "the link is gone or replaced";
            return ReadAll(mTarget) == mBytes ? "" : "the file outside was written: '" + ReadAll(mTarget) + "'";
        case Leftover::DanglingLink:
            if (linkTo() != mTarget)
                return "the link is gone or replaced";
            return fs::exists(mTarget) ? "the link's target was created" : "";
        case Leftover::Fifo: return there && S_ISFIFO(info.st_mode) ? "" : "the FIFO is gone or replaced";
        case Leftover::Folder:
            return there && S_ISDIR(info.st_mode) && fs::is_empty(mAt) ? "" : "the folder is gone or filled";
        case Leftover::OtherUsersFile:
            if (!there || !S_ISREG(info.st_mode) || info.st_uid != 65534)
                return "the other user's file is gone or replaced";
            return ReadAll(mAt) == mBytes ? "" : "the other user's file was written";
        case Leftover::HardLink:
            // Once a save has put a new file in place, this is the old one's only name: a leftover
            // of this user, which may be cleared.
            if (!there)
                return ::lstat(mFile.c_str(), &info) == 0 && info.st_nlink == 1 ? "" : "the hard link is gone";
            if (!S_ISREG(info.st_mode))
                return "the hard link is replaced";
            return ReadAll(mAt) == mBytes ? "" : "the file's other name was written: '" + ReadAll(mAt) + "'";
        case Leftover::OwnFile:
            return !there || (S_ISREG(info.st_mode) && ReadAll(mAt) == mBytes) ? "" : "the file was written";
        }
        return "?";
    }

private:
    static void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
    {
        if (FILE* out = std::fopen(path.c_str(), "wb"))
        {
            std::fwrite(bytes.data(), 1, bytes.size(), out);
            std::fclose(out);
        }
    }
    // Through links; "" when it cannot be read.
    static std::string ReadAll(const std::filesystem::path& path)
    {
        std::string bytes;
        if (FILE* in = std::fopen(path.c_str(), "rb"))
        {
            char buffer[4096];
            size_t got;
            while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
                bytes.append(buffer, got);
            std::fclose(in);
        }
        return bytes;
    }

    Leftover mKind;
    std::filesystem::path mAt, mFile, mTarget;
    std::string mBytes;
    bool mPlanted = false;
};

// The names in a folder, sorted.
inline std::vector<std::string> NamesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace testsupport
