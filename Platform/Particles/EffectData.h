// The parsed contents of a ".ptc" effect library: atlases with named frames, and a tree of
// folders holding emitter descriptions. Descriptions are immutable once parsed and shared by
// every running emitter made from them.
#pragma once

#include "Platform/Base/Types.h"

#include <memory>
#include <string>
#include <vector>

namespace particles
{
// A random range; both ends equal for a fixed value.
struct Range
{
    float min = 0.0f;
    float max = 0.0f;
};

// A colour at a point of a particle's life (t in [0, 1]); channels in [0, 1].
struct ColorKey
{
    float t = 0.0f;
    float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
};

// One kind of particle of an emitter: its picture, how it is emitted and how it moves and fades.
struct ParticleType
{
    std::string texture;
    i32 atlas = 0; // index into EffectFile::atlases
    float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
    bool additive = false;

    float rate = 0.0f;  // particles per second while the emitter emits
    u32 burst = 0;      // particles at the start of each pass of the timeline
    u32 max = 512;      // live particles at most
    float delay = 0.0f; // seconds into the timeline before this type emits

    Range life{1.0f, 1.0f};                 // seconds
    Range speed;                            // pixels per second
    float direction = 90.0f;                // degrees, 0 = +x, 90 = up (-y)
    float spread = 0.0f;                    // degrees, the full width of the cone
    float gravityX = 0.0f, gravityY = 0.0f; // pixels per second squared
    float drag = 0.0f;                      // fraction of the speed lost per second
    float areaX = 0.0f, areaY = 0.0f;       // half-axes of the spawn ellipse, pixels
    Range size{16.0f, 16.0f};               // pixels, at birth
    float grow = 1.0f;                      // size factor reached at the end of life
    Range angle;                            // degrees at birth
    Range spin;                             // degrees per second
    bool align = false;                     // turned along the direction of motion
    bool trail = false;                     // stays where it was emitted even when the emitter moves its particles

    std::vector<ColorKey> colors; // sorted by t; empty = opaque white
};

struct EmitterDesc
{
    std::string name;
    float duration = 0.0f; // seconds of one pass of the timeline; 0 = endless
    float prewarm = 0.0f;  // seconds simulated before the effect is first shown
    float step = 33.0f;    // milliseconds of the fixed step used without interpolation
    u32 seed = 0;
    std::vector<ParticleType> types;
};

struct Frame
{
    std::string name;
    float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
};

struct Atlas
{
    std::string file;
    float width = 0.0f, height = 0.0f;
    std::vector<Frame> frames;
};

struct Folder;

// An entry of a folder: a sub-folder, or an emitter (null when it was refused).
struct Entry
{
    std::string name;
    std::unique_ptr<Folder> folder;
    std::shared_ptr<const EmitterDesc> emitter;
    bool IsFolder() const { return folder != nullptr; }
};

struct Folder
{
    std::string name;
    std::vector<Entry> entries; // in file order
};

struct EffectFile
{
    std::string fileName; // as given to the parser
    std::vector<Atlas> atlases;
    Folder root;
};
} // namespace particles
