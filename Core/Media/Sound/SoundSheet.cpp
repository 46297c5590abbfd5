// Sound sheet rows.
#include "Core/Media/Sound/SoundSheet.h"

#include "Core/Base/Tokenizer.h"

namespace k2
{
std::vector<SoundSheetRow> ParseSoundSheet(const std::string& text)
{
    std::vector<SoundSheetRow> rows;
    // Editors may save a byte-order mark, which would glue itself to the first tag.
    const bool bom = text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    base::Tokenizer lines(bom ? text.substr(3) : text, '\n', false);
    std::string line;
    while (lines.NextToken(&line))
    {
        // A sheet saved with CR LF would otherwise keep "\r" in its last column.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string compact;
        base::RemoveChar(line, ' ', compact);
        base::Tokenizer columns(compact, ';', false);
        SoundSheetRow row;
        std::string unused;
        columns.NextToken(&row.tag);
        columns.NextToken(&row.file);
        int group = 0;
        columns >> row.level >> group;
        columns.NextToken(&unused);
        row.group = group;
        if (row.tag.empty() || row.tag[0] == '#')
            continue;
        rows.push_back(std::move(row));
    }
    return rows;
}
} // namespace k2
