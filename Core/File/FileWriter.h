// Where whole files are handed to be written: at once by the caller, or later by a worker.
#pragma once

#include "Core/Base/Types.h"

#include <string>

namespace file
{
// Writes replace their file atomically (WriteFileAtomically): the file on disk is always a whole
// old or a whole new one.
class FileWriter
{
public:
    virtual ~FileWriter() = default;
    // Hands the bytes over for the path. Written at once, the result and its reason (`why`) are
    // the write's own; handed to a worker, QL_OK, and a failure comes later from TakeFailure.
    virtual QLResultEnum Write(const std::wstring& path, std::string bytes, std::wstring* why) = 0;
    // Returns once every write handed over has ended.
    virtual void Flush() = 0;
    // The first failure of a handed-over write since the last call; false when there was none.
    virtual bool TakeFailure(std::wstring& why) = 0;
};
} // namespace file
