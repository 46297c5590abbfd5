// Global constants: angles in float and double, and the fixed names other areas share.
#pragma once

#include "Platform/Base/Angles.h"

namespace base
{
// Constant arrays rather than string objects: usable from any static initialiser.
inline constexpr char kSoundFolder[] = "td/data/sound/";                        // folder of the sounds
inline constexpr wchar_t kProfilesFileName[] = L"profiles.xml";                 // in the user-data folder
inline constexpr wchar_t kDefaultProfileName[] = L"Player01234567890123456789"; // 26 characters
inline constexpr char kPackMagic[] = "qlpack";                                  // head of a data pack
} // namespace base
