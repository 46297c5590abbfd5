// Message boxes and opening files with the desktop's default program.
#pragma once

#include <string>

namespace os
{
// An error box with the caption and text, which also go to stderr. Without a display, or when
// QL_NO_MESSAGE_BOX or CI is set, no box is shown. True when a box was shown.
bool ShowErrorBox(const std::wstring& caption, const std::wstring& text);

// Opening files through xdg-open is refused when QL_NO_SHELL_OPEN or CI is set, so tests never
// start a browser.
bool ShellOpenAllowed();
// Starts xdg-open on the path without waiting; false when refused or it could not start.
bool ShellOpen(const std::wstring& path);
} // namespace os
