// One named set of dialog-effect definitions read from "data/game.xml", and the creators that
// make a set of a type.
#pragma once

#include "Core/Base/Types.h"

#include <memory>

namespace tinyxml2
{
class XMLElement;
}

namespace widget
{
class Dialog;
class DialogEffects;

class DialogEffectsData
{
public:
    virtual ~DialogEffectsData() = default;
    virtual QLResultEnum ReadXml(const tinyxml2::XMLElement* element) = 0;
    // A new effects object for the dialog in out; out unchanged on failure.
    virtual QLResultEnum CreateEffects(Dialog* dialog, DialogEffects** out) = 0;
};

class DialogEffectsDataCreatorBase
{
public:
    virtual ~DialogEffectsDataCreatorBase() = default;
    virtual std::unique_ptr<DialogEffectsData> Create() = 0;
};

template <class T> class DialogEffectsDataCreator : public DialogEffectsDataCreatorBase
{
public:
    std::unique_ptr<DialogEffectsData> Create() override { return std::make_unique<T>(); }
};
} // namespace widget
