// The prototype store.
#include "Source/TD/Data/TDPrototypes.h"

#include "Source/TD/Data/TDSheetReader.h"

#include <tinyxml2.h>

void TDPrototypes::bumpGeneration()
{
    static u32 sNext = 0;
    mGeneration = ++sNext;
}

void TDPrototypes::load(const tinyxml2::XMLElement* data)
{
    bumpGeneration();
    if (!data)
        return;
    for (const char* name : {"units", "towers", "ammo"})
    {
        const tinyxml2::XMLElement* section = data->FirstChildElement(name);
        if (!section)
            continue;
        for (const tinyxml2::XMLElement* row = section->FirstChildElement(); row; row = row->NextSiblingElement())
            all.push_back(std::make_unique<TDPrototype>(row, true));
    }
}

void TDPrototypes::clear()
{
    bumpGeneration();
    all.clear();
}

TDPrototype* TDPrototypes::findById(i32 id) const
{
    for (TDPrototype* p : all)
        if (p->id == id)
            return p;
    return nullptr;
}

void tdLoadPrototypeSheets(TDPrototypes& store, const std::string& towersText, const std::string& unitsText,
                           const std::string& ammoText)
{
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* data = document.NewElement("data");
    tinyxml2::XMLElement* towers = document.NewElement("towers");
    tinyxml2::XMLElement* units = document.NewElement("units");
    tinyxml2::XMLElement* ammo = document.NewElement("ammo");
    TDSheetReader::readText(towersText, towers, document);
    TDSheetReader::readText(unitsText, units, document);
    TDSheetReader::readText(ammoText, ammo, document);
    data->InsertFirstChild(towers);
    data->InsertFirstChild(units);
    data->InsertFirstChild(ammo);
    document.InsertEndChild(data);
    store.clear();
    store.load(data);
}
