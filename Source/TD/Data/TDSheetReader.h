// Converts one semicolon sheet (header row of keys) into "unit" elements of an XML section.
#pragma once

#include <string>

namespace tinyxml2
{
class XMLDocument;
class XMLElement;
} // namespace tinyxml2

class TDSheetReader
{
public:
    // Rows become "unit" elements under section; a row whose "parent" names a top-level row of
    // the section nests under it, every other row is inserted first.
    static void readText(const std::string& text, tinyxml2::XMLElement* section, tinyxml2::XMLDocument& document);
    // Reads the file through the current file source.
    static void read(const std::string& fileName, tinyxml2::XMLElement* section, tinyxml2::XMLDocument& document);
};
