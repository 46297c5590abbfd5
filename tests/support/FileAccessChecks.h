// Makes file permissions bind this process even when it runs as root (CI containers do): for
// its lifetime the thread's effective capabilities to override file permissions are dropped.
#pragma once

namespace testsupport
{
class FileAccessChecks
{
public:
    FileAccessChecks();
    ~FileAccessChecks(); // the capabilities come back
    FileAccessChecks(const FileAccessChecks&) = delete;
    FileAccessChecks& operator=(const FileAccessChecks&) = delete;

    // False when permissions still do not bind (the capabilities could not be dropped).
    bool active() const { return mActive; }

private:
    bool mActive = false;
    bool mDropped = false;
    unsigned mSaved = 0;
};
} // namespace testsupport
