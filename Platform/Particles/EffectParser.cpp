// The ".ptc" reader: atlases first, then the folder tree, each emitter checked on its own.
#include "Platform/Particles/EffectParser.h"

#include "Platform/Base/Log.h"

#include <tinyxml2.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace particles
{
namespace
{
constexpr int kMaxDepth = 16;
constexpr size_t kMaxTypes = 32;
constexpr float kShortestPass = 0.01f;
constexpr float kHuge = 1.0e6f;

// Problems found in one element, kept as text for the log.
struct Problems
{
    std::string text;
    void Add(const std::string& what)
    {
        if (!text.empty())
            text += "; ";
        text += what;
    }
    bool Any() const { return !text.empty(); }
};

const char* SkipBlanks(const char* p)
{
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')
        ++p;
    return p;
}

// Reads up to `count` whitespace-separated finite floats; returns how many were read, or -1
// when something else stands there.
int ReadFloats(const char* text, float* out, int count)
{
    int n = 0;
    const char* p = SkipBlanks(text);
    const char* end = p + std::strlen(p);
    while (*p && n < count)
    {
        float value = 0.0f;
        auto [next, error] = std::from_chars(p, end, value);
        if (error != std::errc() || !std::isfinite(value))
            return -1;
        out[n++] = value;
        p = SkipBlanks(next);
    }
    return *p ? -1 : n;
}

class ElementReader
{
public:
    ElementReader(const tinyxml2::XMLElement& element, Problems& problems) : mElement(element), mProblems(problems) {}

    void Float(const char* name, float& out, float low, float high)
    {
        const char* text = mElement.Attribute(name);
        if (!text)
            return;
        float value = 0.0f;
        if (ReadFloats(text, &value, 1) != 1 || value < low || value > high)
            mProblems.Add(std::string("bad ") + name + " '" + text + "'");
        else
            out = value;
    }

    // "a" or "a b"; the ends are put in order.
    void RangeOf(const char* name, Range& out, float low, float high)
    {
        float values[2];
        if (!Two(name, values, low, high))
            return;
        out.min = std::min(values[0], values[1]);
        out.max = std::max(values[0], values[1]);
    }

    // "x y", or one value for both.
    void Pair(const char* name, float& x, float& y, float low, float high)
    {
        float values[2];
        if (!Two(name, values, low, high))
            return;
        x = values[0];
        y = values[1];
    }

    void Count(const char* name, u32& out, u32 high)
    {
        const char* text = mElement.Attribute(name);
        if (!text)
            return;
        const char* p = SkipBlanks(text);
        const char* end = p + std::strlen(p);
        u32 value = 0;
        auto [next, error] = std::from_chars(p, end, value);
        if (error != std::errc() || *SkipBlanks(next) || value > high)
            mProblems.Add(std::string("bad ") + name + " '" + text + "'");
        else
            out = value;
    }

    void Flag(const char* name, bool& out)
    {
        const char* text = mElement.Attribute(name);
        if (!text)
            return;
        if (!std::strcmp(text, "1") || !std::strcmp(text, "true"))
            out = true;
        else if (!std::strcmp(text, "0") || !std::strcmp(text, "false"))
            out = false;
        else
            mProblems.Add(std::string("bad ") + name + " '" + text + "'");
    }

private:
    // One or two values in [low, high]; false when the attribute is absent or bad (noted).
    bool Two(const char* name, float values[2], float low, float high)
    {
        const char* text = mElement.Attribute(name);
        if (!text)
            return false;
        const int n = ReadFloats(text, values, 2);
        if (n == 1)
            values[1] = values[0];
        if (n < 1 || values[0] < low || values[0] > high || values[1] < low || values[1] > high)
        {
            mProblems.Add(std::string("bad ") + name + " '" + text + "'");
            return false;
        }
        return true;
    }

    const tinyxml2::XMLElement& mElement;
    Problems& mProblems;
};

// "AARRGGBB" or "RRGGBB" (opaque) in hexadecimal.
bool ReadArgb(const char* text, ColorKey& key)
{
    const size_t length = std::strlen(text);
    if (length != 8 && length != 6)
        return false;
    u32 value = 0;
    auto [next, error] = std::from_chars(text, text + length, value, 16);
    if (error != std::errc() || next != text + length)
        return false;
    if (length == 6)
        value |= 0xFF000000u;
    key.a = static_cast<float>((value >> 24) & 0xFF) / 255.0f;
    key.r = static_cast<float>((value >> 16) & 0xFF) / 255.0f;
    key.g = static_cast<float>((value >> 8) & 0xFF) / 255.0f;
    key.b = static_cast<float>(value & 0xFF) / 255.0f;
    return true;
}

u32 HashName(const std::string& name)
{
    u32 hash = 2166136261u;
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

class Parser
{
public:
    explicit Parser(EffectFile& file) : mFile(file) {}

    void ReadAtlas(const tinyxml2::XMLElement& element)
    {
        Atlas atlas;
        Problems problems;
        ElementReader reader(element, problems);
        if (const char* file = element.Attribute("file"))
            atlas.file = file;
        else
            problems.Add("no file");
        reader.Float("width", atlas.width, 1.0f, 65536.0f);
        reader.Float("height", atlas.height, 1.0f, 65536.0f);
        if (atlas.width <= 0.0f || atlas.height <= 0.0f)
            problems.Add("no width or height");
        for (const tinyxml2::XMLElement* f = element.FirstChildElement("frame"); f; f = f->NextSiblingElement("frame"))
        {
            Frame frame;
            ElementReader frameReader(*f, problems);
            if (const char* name = f->Attribute("name"))
                frame.name = name;
            frameReader.Float("x", frame.x, 0.0f, 65536.0f);
            frameReader.Float("y", frame.y, 0.0f, 65536.0f);
            frameReader.Float("w", frame.w, 0.0f, 65536.0f);
            frameReader.Float("h", frame.h, 0.0f, 65536.0f);
            atlas.frames.push_back(frame);
        }
        if (problems.Any())
        {
            // The atlas keeps its place, so later atlases keep their texture numbers; its
            // frames are dropped, so emitters naming them are refused.
            Log("atlas '" + atlas.file + "' ignored: " + problems.text);
            atlas.frames.clear();
        }
        mFile.atlases.push_back(std::move(atlas));
    }

    void ReadFolder(const tinyxml2::XMLElement& element, Folder& folder, int depth)
    {
        for (const tinyxml2::XMLElement* child = element.FirstChildElement(); child;
             child = child->NextSiblingElement())
        {
            const char* tag = child->Name();
            const char* name = child->Attribute("name");
            if (!std::strcmp(tag, "folder"))
            {
                if (depth >= kMaxDepth)
                {
                    Log("folders nested deeper than " + std::to_string(kMaxDepth) + " are ignored");
                    continue;
                }
                Entry entry;
                entry.name = name ? name : "";
                entry.folder = std::make_unique<Folder>();
                entry.folder->name = entry.name;
                ReadFolder(*child, *entry.folder, depth + 1);
                folder.entries.push_back(std::move(entry));
            }
            else if (!std::strcmp(tag, "emitter"))
            {
                Entry entry;
                entry.name = name ? name : "";
                entry.emitter = ReadEmitter(*child);
                folder.entries.push_back(std::move(entry));
            }
        }
    }

    void Log(const std::string& what) { platform::LogError(L"Particle file '%s': %s\n", {mFile.fileName, what}); }

private:
    std::shared_ptr<const EmitterDesc> ReadEmitter(const tinyxml2::XMLElement& element)
    {
        auto desc = std::make_shared<EmitterDesc>();
        Problems problems;
        if (const char* name = element.Attribute("name"); name && *name)
            desc->name = name;
        else
            problems.Add("no name");
        desc->seed = HashName(desc->name);
        ElementReader reader(element, problems);
        reader.Float("duration", desc->duration, 0.0f, 3600.0f);
        // Each pass of a repeating timeline is a step of its own: very short passes would
        // turn one update into thousands.
        if (desc->duration > 0.0f && desc->duration < kShortestPass)
            problems.Add("duration below 0.01 s");
        reader.Float("prewarm", desc->prewarm, 0.0f, 60.0f);
        reader.Float("step", desc->step, 1.0f, 1000.0f);
        reader.Count("seed", desc->seed, 0xFFFFFFFFu);
        for (const tinyxml2::XMLElement* p = element.FirstChildElement("particles"); p;
             p = p->NextSiblingElement("particles"))
            desc->types.push_back(ReadType(*p, problems));
        if (desc->types.empty())
            problems.Add("no particles");
        if (desc->types.size() > kMaxTypes)
            problems.Add("more than " + std::to_string(kMaxTypes) + " particle kinds");
        if (problems.Any())
        {
            Log("emitter '" + desc->name + "' refused: " + problems.text);
            return nullptr;
        }
        return desc;
    }

    ParticleType ReadType(const tinyxml2::XMLElement& element, Problems& problems)
    {
        ParticleType type;
        ElementReader reader(element, problems);
        if (const char* texture = element.Attribute("texture"))
            type.texture = texture;
        if (!FindFrame(type))
            problems.Add("unknown texture '" + type.texture + "'");
        if (const char* blend = element.Attribute("blend"))
        {
            if (!std::strcmp(blend, "add"))
                type.additive = true;
            else if (std::strcmp(blend, "alpha"))
                problems.Add(std::string("bad blend '") + blend + "'");
        }
        reader.Float("rate", type.rate, 0.0f, 100000.0f);
        reader.Count("burst", type.burst, 100000);
        reader.Count("max", type.max, 100000);
        reader.Float("delay", type.delay, 0.0f, 3600.0f);
        reader.RangeOf("life", type.life, 0.001f, 3600.0f);
        reader.RangeOf("speed", type.speed, -kHuge, kHuge);
        reader.Float("direction", type.direction, -kHuge, kHuge);
        reader.Float("spread", type.spread, 0.0f, 360.0f);
        reader.Pair("gravity", type.gravityX, type.gravityY, -kHuge, kHuge);
        reader.Float("drag", type.drag, 0.0f, 1000.0f);
        reader.Pair("area", type.areaX, type.areaY, 0.0f, kHuge);
        reader.RangeOf("size", type.size, 0.0f, 4096.0f);
        reader.Float("grow", type.grow, 0.0f, 100.0f);
        reader.RangeOf("angle", type.angle, -kHuge, kHuge);
        reader.RangeOf("spin", type.spin, -kHuge, kHuge);
        reader.Flag("align", type.align);
        reader.Flag("trail", type.trail);
        for (const tinyxml2::XMLElement* c = element.FirstChildElement("color"); c; c = c->NextSiblingElement("color"))
        {
            ColorKey key;
            ElementReader keyReader(*c, problems);
            keyReader.Float("t", key.t, 0.0f, 1.0f);
            const char* argb = c->Attribute("argb");
            if (!argb || !ReadArgb(argb, key))
                problems.Add(std::string("bad colour '") + (argb ? argb : "") + "'");
            type.colors.push_back(key);
        }
        std::stable_sort(type.colors.begin(), type.colors.end(),
                         [](const ColorKey& a, const ColorKey& b) { return a.t < b.t; });
        return type;
    }

    // The first frame of that name over the atlases, in atlas order.
    bool FindFrame(ParticleType& type) const
    {
        for (size_t a = 0; a < mFile.atlases.size(); ++a)
        {
            const Atlas& atlas = mFile.atlases[a];
            for (const Frame& frame : atlas.frames)
                if (frame.name == type.texture)
                {
                    type.atlas = static_cast<i32>(a);
                    type.u0 = frame.x / atlas.width;
                    type.v0 = frame.y / atlas.height;
                    type.u1 = (frame.x + frame.w) / atlas.width;
                    type.v1 = (frame.y + frame.h) / atlas.height;
                    return true;
                }
        }
        return false;
    }

    EffectFile& mFile;
};
} // namespace

std::unique_ptr<EffectFile> ParseEffectFile(const char* data, size_t size, const std::string& fileName)
{
    auto file = std::make_unique<EffectFile>();
    file->fileName = fileName;
    Parser parser(*file);
    tinyxml2::XMLDocument document;
    if (!data || document.Parse(data, size) != tinyxml2::XML_SUCCESS)
    {
        parser.Log(std::string("not readable XML: ") + (data ? document.ErrorStr() : "no data"));
        return nullptr;
    }
    const tinyxml2::XMLElement* root = document.RootElement();
    if (!root || std::strcmp(root->Name(), "effects"))
    {
        parser.Log("the root element is not 'effects'");
        return nullptr;
    }
    for (const tinyxml2::XMLElement* a = root->FirstChildElement("atlas"); a; a = a->NextSiblingElement("atlas"))
        parser.ReadAtlas(*a);
    parser.ReadFolder(*root, file->root, 0);
    return file;
}
} // namespace particles
