// Profile names that "profiles.xml" keeps byte for byte through any number of saves and loads.
#pragma once

#include <string>

namespace file
{
// The replacement of a character a profile name cannot hold.
constexpr wchar_t kNameReplacement = 0xFFFD;

// Whether a profile name may hold the character: not one XML 1.0 cannot hold, and no control
// character at all (tinyxml2 writes a carriage return raw and reads it back as a line feed; a
// conforming reader turns tabs and line feeds in attributes into blanks).
bool IsProfileNameCharacter(wchar_t c);
// Replaces every character a name cannot hold by U+FFFD; true when one was replaced.
bool CleanProfileName(std::wstring& name);
// The profiles file's text with every character reference to NUL ("&#0;", "&#x00;"), which
// tinyxml2 decodes into an end of the text and so cuts the name short, made a reference to
// U+FFFD. Returns how many were replaced.
size_t ReplaceNulReferences(std::string& text);
} // namespace file
