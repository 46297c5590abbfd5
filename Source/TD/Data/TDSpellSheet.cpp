// The spells the player can cast.
#include "Source/TD/Data/TDSpellSheet.h"

#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDText.h"

void TDSpellSheet::readText(const std::string& text, TDImageLoader* images)
{
    spells.clear();
    for (std::string line : tdtext::split(tdtext::trimmed(text), '\n', true))
    {
        // A blank line ended by CR LF is no spell, as a blank LF line is none.
        tdtext::dropTrailingCr(line);
        if (tdtext::trimmed(line).empty())
            continue;
        std::vector<std::string> cells = tdtext::split(line, ';', false);
        for (std::string& cell : cells)
        {
            tdtext::dropTrailingCr(cell);
            tdtext::trim(cell);
        }
        cells.resize(6);
        if (cells[0] == "#")
            continue;
        auto spell = std::make_unique<TDSpellProto>();
        spell->protoId = tdtext::leadingInt(cells[1]);
        spell->image = cells[2];
        spell->image2 = cells[3];
        spell->id = tdtext::leadingInt(cells[4]);
        if (images)
        {
            spell->imageTexture = images->loadImage(tdtext::utf8ToWide(spell->image));
            spell->image2Texture = images->loadImage(tdtext::utf8ToWide(spell->image2));
        }
        spells.push_back(std::move(spell));
    }
}

void TDSpellSheet::load(TDImageLoader* images)
{
    readText(TDFileSource::current().readFile(L"td/spells_sheet.csv"), images);
}

const TDSpellProto* TDSpellSheet::findById(i32 id) const
{
    for (const auto& spell : spells)
        if (spell->id == id)
            return spell.get();
    return nullptr;
}
