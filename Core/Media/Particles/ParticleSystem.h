// The effect library of the game: loaded once from a ".ptc" file, every emitter kept as a
// template by name, the library's atlases as images, and new effect instances on request.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/Singletone.h"
#include "Core/Base/Types.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Particles/ParticleEmitter.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace particles
{
struct Folder;
}

namespace render
{
class Render;

class ParticleSystem : public base::Singletone<ParticleSystem>
{
public:
    ParticleSystem();
    ~ParticleSystem() override;

    // Folder of the library and its atlas images, such as "td/fx/".
    void SetFolder(const std::string& folder) { mFolder = folder; }
    const std::string& GetFolder() const { return mFolder; }

    // Loads folder + name (or with ".ptc" added) through the file manager; atlases become
    // images of the render (none without a render). A library that loads replaces what an
    // earlier load kept; a missing or unreadable one leaves it.
    QLResultEnum Load(const std::string& name, Render* render);
    // The same from bytes already read; fileName is for the log.
    QLResultEnum LoadFromMemory(const char* data, size_t size, const std::string& fileName, Render* render);

    // A new stopped instance of the named effect, owned by the caller; null when unknown.
    ParticleEmitter* CreateEmitter(const std::string& name) const;
    ParticleEmitter* CreateEmitter(const std::wstring& name) const;
    bool HasEmitter(const std::string& name) const { return mTemplates.count(name) != 0; }
    std::vector<std::string> GetEmitterNames() const;

    // The image of a texture number (null when it is not loaded).
    Image* GetAtlas(i32 index) const;
    size_t GetAtlasCount() const { return mAtlases.size(); }
    void UnloadAtlases();

private:
    void Walk(const particles::Folder& folder, const std::string& fileName, bool hasTextures);

    std::string mFolder;
    std::map<std::string, std::unique_ptr<ParticleEmitter>> mTemplates;
    base::OwnedList<Image> mAtlases; // null where an atlas did not load
};
} // namespace render
