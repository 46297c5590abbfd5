// Converts one semicolon sheet into "unit" elements of an XML section.
#include "Source/TD/Data/TDSheetReader.h"

#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDText.h"

#include <tinyxml2.h>

#include <algorithm>
#include <vector>

void TDSheetReader::readText(const std::string& text, tinyxml2::XMLElement* section, tinyxml2::XMLDocument& document)
{
    // A blank line ended by CR LF is as empty as one ended by LF; kept, it would become an empty
    // header or a row of no values (a prototype of id 0 ahead of the sheet's own).
    std::vector<std::string> lines;
    for (std::string& line : tdtext::split(tdtext::trimmed(text), '\n', true))
    {
        tdtext::dropTrailingCr(line);
        if (!tdtext::trimmed(line).empty())
            lines.push_back(std::move(line));
    }
    if (lines.empty() || !section)
        return;

    std::vector<std::string> columns = tdtext::split(lines[0], ';', false);

    for (size_t row = 1; row < lines.size(); ++row)
    {
        std::string line = lines[row];
        std::replace(line.begin(), line.end(), ',', '.');
        std::vector<std::string> cells = tdtext::split(line, ';', false);

        tinyxml2::XMLElement* unit = document.NewElement("unit");
        // Cells past the last named column have no key and are ignored.
        size_t count = std::min(cells.size(), columns.size());
        for (size_t i = 0; i < count; ++i)
            if (!columns[i].empty())
                unit->SetAttribute(columns[i].c_str(), cells[i].c_str());

        i32 parent = -1;
        if (const char* parentText = unit->Attribute("parent"))
            if (!tdtext::parseInt(parentText, parent))
                parent = -1;

        tinyxml2::XMLElement* owner = nullptr;
        if (parent != -1)
        {
            for (tinyxml2::XMLElement* top = section->FirstChildElement(); top; top = top->NextSiblingElement())
            {
                i32 id = 0;
                if (const char* idText = top->Attribute("id"))
                    tdtext::parseInt(idText, id);
                if (id == parent)
                {
                    owner = top;
                    break;
                }
            }
        }
        if (owner)
            owner->InsertEndChild(unit);
        else
            section->InsertFirstChild(unit);
    }
}

void TDSheetReader::read(const std::string& fileName, tinyxml2::XMLElement* section, tinyxml2::XMLDocument& document)
{
    readText(TDFileSource::current().readFile(tdtext::utf8ToWide(fileName)), section, document);
}
