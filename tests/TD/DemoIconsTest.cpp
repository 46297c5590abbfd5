// The demo's unlock and shop icons: every id the unlock table names and every upgrade has its
// picture in its layout, no two things share one picture, and each icon looks like what it stands
// for. "Looks like" compares colours: an icon's colour histogram less what all icons share (their
// medallion) must lie nearest to its own tower line's sprite (less what all sprites share), or to
// its own spell's HUD button, among all of them.
#include "DemoContentFixture.h"

#include "Core/Base/Stream.h"
#include "Core/Media/Container/PsdLayerNames.h"
#include "Core/Media/Image/ImageLoader.h"
#include "Core/Psd/Document.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

namespace
{
namespace fs = std::filesystem;

struct Picture
{
    i32 width = 0, height = 0;
    std::vector<u32> argb;
};

// Decoded by the game's own image loader; empty when the file is missing or unreadable.
Picture ReadPng(const fs::path& path)
{
    Picture out;
    const std::string bytes = testsupport::ReadBytes(path);
    if (bytes.empty())
        return out;
    base::MemoryStream stream(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<render::ImageData> data(render::ImageLoader::Instance()->Load(&stream, L".png", nullptr));
    if (!data)
        return out;
    std::vector<u32> pixels(static_cast<size_t>(data->mWidth) * static_cast<size_t>(data->mHeight));
    render::HitMask mask;
    if (data->CopyPixels(static_cast<u32>(data->mWidth) * 4, reinterpret_cast<u8*>(pixels.data()), mask) != QL_OK)
        return out;
    out.width = data->mWidth;
    out.height = data->mHeight;
    out.argb = std::move(pixels);
    return out;
}

// The first picture of every sprite group in the sheets of a folder: its first layer larger than
// one pixel (point lists are single pixels), e.g. "dart1/idle/00" for "dart1".
std::map<std::string, Picture> SpriteStills(const fs::path& folder)
{
    std::map<std::string, Picture> out;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    {
        if (entry.path().extension() != ".psd")
            continue;
        psd::Document* document = nullptr;
        if (psd::LoadDocument(&document, entry.path().string().c_str()) != psd::kOk || !document)
        {
            ADD_FAILURE() << entry.path() << " does not read";
            continue;
        }
        for (const file::PsdNamedLayer& named : file::NamePsdLayers(*document))
        {
            const psd::LayerRecord& layer = document->mLayers[static_cast<size_t>(named.mLayer)];
            const std::string name = tdtext::wideToUtf8(named.mName);
            const std::string group = name.substr(0, name.find('/'));
            if (layer.mWidth * layer.mHeight <= 1 || out.count(group))
                continue;
            Picture& p = out[group];
            p.width = layer.mWidth;
            p.height = layer.mHeight;
            p.argb.assign(layer.mPixels.begin(), layer.mPixels.end());
        }
        psd::FreeDocument(document);
    }
    return out;
}

// Share of the opaque pixels in each of 512 colour bins (three bits a channel): fine enough that
// a flat colour of a sprite keeps its own bin in the icon painted from it.
using Histogram = std::array<double, 512>;

Histogram Colours(const Picture& p)
{
    Histogram h{};
    double total = 0.0;
    for (u32 c : p.argb)
    {
        if ((c >> 24) < 128)
            continue;
        h[((c >> 21) & 7) * 64 + ((c >> 13) & 7) * 8 + ((c >> 5) & 7)] += 1.0;
        total += 1.0;
    }
    for (double& v : h)
        v = total > 0.0 ? v / total : 0.0;
    return h;
}

// What a histogram has above the mean of its set: what sets the picture apart from the others.
std::vector<Histogram> Distinctive(const std::vector<Histogram>& set)
{
    Histogram mean{};
    for (const Histogram& h : set)
        for (size_t i = 0; i < h.size(); ++i)
            mean[i] += h[i] / static_cast<double>(set.size());
    std::vector<Histogram> out = set;
    for (Histogram& h : out)
        for (size_t i = 0; i < h.size(); ++i)
            h[i] = std::max(0.0, h[i] - mean[i]);
    return out;
}

double Cosine(const Histogram& a, const Histogram& b)
{
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
    {
        ab += a[i] * b[i];
        aa += a[i] * a[i];
        bb += b[i] * b[i];
    }
    return aa > 0.0 && bb > 0.0 ? ab / std::sqrt(aa * bb) : 0.0;
}

// For each icon, the index of the candidate its distinctive colours lie nearest to.
std::vector<size_t> Nearest(const std::vector<Picture>& icons, const std::vector<Picture>& candidates)
{
    std::vector<Histogram> a, b;
    for (const Picture& p : icons)
        a.push_back(Colours(p));
    for (const Picture& p : candidates)
        b.push_back(Colours(p));
    a = Distinctive(a);
    b = Distinctive(b);
    std::vector<size_t> out;
    for (const Histogram& h : a)
    {
        size_t best = 0;
        for (size_t i = 1; i < b.size(); ++i)
            if (Cosine(h, b[i]) > Cosine(h, b[best]))
                best = i;
        out.push_back(best);
    }
    return out;
}

// Share of pixels where a channel differs by more than 48; 1 for pictures of different sizes.
double DifferingShare(const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height || a.argb.empty())
        return 1.0;
    size_t differ = 0;
    for (size_t i = 0; i < a.argb.size(); ++i)
        for (int shift : {0, 8, 16, 24})
            if (std::abs(static_cast<int>((a.argb[i] >> shift) & 255) - static_cast<int>((b.argb[i] >> shift) & 255)) >
                48)
            {
                ++differ;
                break;
            }
    return static_cast<double>(differ) / static_cast<double>(a.argb.size());
}

struct Icon
{
    std::string what;
    Picture picture;
    i32 standsFor = 0; // the tower line's base id, or the spell id
};

struct DemoIcons : tdtest::DemoContentFixture
{
    fs::path root = fs::path(QL_CONTENT_DIR) / "td";
    Picture icon(const std::string& layout, const std::string& name) const
    {
        EXPECT_NE(testsupport::ReadBytes(root / layout / "layers.xml").find("name=\"" + name + "\""), std::string::npos)
            << layout << " lists no " << name;
        Picture p = ReadPng(root / layout / (name + ".png"));
        EXPECT_FALSE(p.argb.empty()) << layout << "/" << name << ".png does not read";
        return p;
    }
};

void ExpectAllDiffer(const std::vector<Icon>& icons)
{
    for (size_t i = 0; i < icons.size(); ++i)
        for (size_t j = i + 1; j < icons.size(); ++j)
            EXPECT_GT(DifferingShare(icons[i].picture, icons[j].picture), 0.02)
                << icons[i].what << " and " << icons[j].what << " share one picture";
}
} // namespace

TEST_F(DemoIcons, EveryUnlockAndUpgradeHasItsOwnPictureThatLooksLikeTheTowerOrSpellItStandsFor)
{
    std::vector<Icon> towerIcons, spellIcons, unlockIcons, upgradeIcons;
    std::set<i32> ids;
    for (const auto& [episode, levels] : map->mUnlocks.newUnlocks)
        for (const auto& [level, list] : levels)
            for (i32 id : list)
                if (id >= 0)
                    ids.insert(id);
    ASSERT_GE(ids.size(), 10u);
    for (i32 id : ids)
    {
        Icon icon{"unlock " + std::to_string(id), this->icon("data/message", "icons/id" + std::to_string(id)), id};
        unlockIcons.push_back(icon);
        // Spell ids are small and share their numbers with units: a spell is looked up first.
        if (map->mSpells.findById(id))
            spellIcons.push_back(icon);
        else if (const auto [proto, base] = line(id); proto)
            towerIcons.push_back({icon.what, icon.picture, base->id});
        else
            ADD_FAILURE() << "unlock id " << id << " is neither a tower nor a spell";
    }
    std::set<std::string> upgradeIconNames;
    for (const TDUpgrade* u : map->mUpgrades.upgrades)
    {
        const std::string name = tdtext::wideToUtf8(u->icon);
        EXPECT_TRUE(upgradeIconNames.insert(name).second) << "two upgrades show " << name;
        Icon icon{"upgrade " + std::to_string(u->id), this->icon("shop", "icons/" + name), 0};
        upgradeIcons.push_back(icon);
        if (!u->targetIds.empty() && u->targetIds.front() >= 0)
            if (const auto [proto, base] = line(u->targetIds.front()); proto)
                towerIcons.push_back({icon.what, icon.picture, base->id});
    }
    ExpectAllDiffer(unlockIcons);
    ExpectAllDiffer(upgradeIcons);

    // Each tower icon is nearest its own line among the sprites of every tower the game unlocks.
    const std::map<std::string, Picture> stills = SpriteStills(root / "towers");
    std::vector<Picture> sprites;
    std::vector<i32> spriteLines;
    for (i32 id : ids)
        if (const auto [proto, base] = line(id); proto && !map->mSpells.findById(id))
        {
            const auto still = stills.find(proto->psd);
            ASSERT_NE(still, stills.end()) << "no sprite " << proto->psd << " in td/towers";
            sprites.push_back(still->second);
            spriteLines.push_back(base->id);
        }
    std::vector<Picture> pictures;
    for (const Icon& icon : towerIcons)
        pictures.push_back(icon.picture);
    const std::vector<size_t> nearest = Nearest(pictures, sprites);
    for (size_t i = 0; i < towerIcons.size(); ++i)
        EXPECT_EQ(spriteLines[nearest[i]], towerIcons[i].standsFor)
            << towerIcons[i].what << " looks like tower line " << spriteLines[nearest[i]];

    // Each spell icon is nearest its own spell's HUD button.
    std::vector<Picture> buttons, spellPictures;
    std::vector<i32> buttonSpells;
    for (const Icon& icon : spellIcons)
    {
        const TDSpellProto* spell = map->mSpells.findById(icon.standsFor);
        buttons.push_back(ReadPng(fs::path(QL_CONTENT_DIR) / (spell->image + ".png")));
        ASSERT_FALSE(buttons.back().argb.empty()) << spell->image;
        buttonSpells.push_back(icon.standsFor);
        spellPictures.push_back(icon.picture);
    }
    ASSERT_GE(spellIcons.size(), 2u);
    const std::vector<size_t> nearestButton = Nearest(spellPictures, buttons);
    for (size_t i = 0; i < spellIcons.size(); ++i)
        EXPECT_EQ(buttonSpells[nearestButton[i]], spellIcons[i].standsFor)
            << spellIcons[i].what << " looks like spell " << buttonSpells[nearestButton[i]];
}
