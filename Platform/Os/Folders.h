// Where the running program lives, and where the desktop keeps each user's files.
#pragma once

#include <string>

namespace os
{
// The running executable's full path (no length limit); false, with os::LastError, when unknown.
bool ExecutablePath(std::wstring& out);
// The per-user data folder (UTF-8, not normalised): $XDG_DATA_HOME, else $HOME/.local/share.
// Only absolute values count; false when neither gives one.
bool PerUserDataFolder(std::string& out);
// $HOME when it is absolute.
bool HomeFolder(std::string& out);
} // namespace os
