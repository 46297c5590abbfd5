// The installed game settings.
#include "Core/Widget/Controls/GameSettings.h"

namespace gui
{
namespace
{
GameSettings* gSettings = nullptr;
}

GameSettings* GameSettings::Get() { return gSettings; }
void GameSettings::Set(GameSettings* settings) { gSettings = settings; }

std::wstring Localize(const std::wstring& key) { return gSettings ? gSettings->GetText(key) : key; }
} // namespace gui
