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
// The mark a reference to NUL becomes before the profiles file is parsed: U+FFFE, which no name
// may hold, so that the name's repair sees it; nothing else of the document keeps it.
constexpr wchar_t kNulMark = 0xFFFE;
// The profiles file's text with every character reference to NUL ("&#0;", "&#x00;"), which
// tinyxml2 decodes into an end of the text and so cuts the name short, made a reference to the
// mark. Returns how many were replaced.
size_t ReplaceNulReferences(std::string& text);
// The mark's UTF-8 bytes in the text made U+FFFD; true when there was one.
bool ReplaceNulMarks(std::string& text);
} // namespace file
