// ".fnt" documents built in the tests: one page, glyphs of chosen advances, optional kerning.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace fonttest
{
struct FntGlyph
{
    int id;
    int advance;
    int page = 0;
    int x = 0, y = 0, width = 0, height = 0;
    int xoffset = 0, yoffset = 0;
};

struct FntBuilder
{
    std::map<std::string, std::string> info = {{"face", "Test"},       {"size", "20"},     {"bold", "0"},
                                               {"italic", "0"},        {"charset", ""},    {"unicode", "1"},
                                               {"stretchH", "100"},    {"smooth", "1"},    {"aa", "1"},
                                               {"padding", "0,0,0,0"}, {"spacing", "1,1"}, {"outline", "0"}};
    std::map<std::string, std::string> common = {
        {"lineHeight", "24"}, {"base", "18"},     {"scaleW", "64"}, {"scaleH", "64"},   {"pages", "1"},
        {"packed", "0"},      {"alphaChnl", "0"}, {"redChnl", "4"}, {"greenChnl", "4"}, {"blueChnl", "4"}};
    std::vector<std::pair<int, std::string>> pages = {{0, "page0.png"}};
    std::vector<FntGlyph> glyphs;
    std::vector<std::vector<int>> kernings; // first, second, amount
    bool withKernings = true;

    std::string Build() const
    {
        std::string s = "<?xml version=\"1.0\"?>\n<font>\n  <info";
        for (const auto& [k, v] : info)
            s += " " + k + "=\"" + v + "\"";
        s += "/>\n  <common";
        for (const auto& [k, v] : common)
            s += " " + k + "=\"" + v + "\"";
        s += "/>\n  <pages>\n";
        for (const auto& [id, file] : pages)
            s += "    <page id=\"" + std::to_string(id) + "\" file=\"" + file + "\"/>\n";
        s += "  </pages>\n  <chars>\n";
        for (const FntGlyph& g : glyphs)
            s += "    <char id=\"" + std::to_string(g.id) + "\" x=\"" + std::to_string(g.x) + "\" y=\"" +
                 std::to_string(g.y) + "\" width=\"" + std::to_string(g.width) + "\" height=\"" +
                 std::to_string(g.height) + "\" xoffset=\"" + std::to_string(g.xoffset) + "\" yoffset=\"" +
                 std::to_string(g.yoffset) + "\" xadvance=\"" + std::to_string(g.advance) + "\" page=\"" +
                 std::to_string(g.page) + "\" chnl=\"15\"/>\n";
        s += "  </chars>\n";
        if (withKernings)
        {
            s += "  <kernings>\n";
            for (const auto& k : kernings)
                s += "    <kerning first=\"" + std::to_string(k[0]) + "\" second=\"" + std::to_string(k[1]) +
                     "\" amount=\"" + std::to_string(k[2]) + "\"/>\n";
            s += "  </kernings>\n";
        }
        return s + "</font>\n";
    }
};
} // namespace fonttest
