// A dialog skinned from a layout. It stays disabled while its show or hide effect runs, so its
// controls neither hover nor click then, but it still takes the mouse walk.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Widget/Controls/Dialog.h"
#include "Core/Widget/Controls/GameControlHelper.h"

namespace layer
{
class TextLayer;
}

class TesselDialog : public widget::Dialog, public gui::GameControlHelper
{
public:
    // Disabled until shown.
    TesselDialog();
    // Deletes the child widgets (the controls) before the layers they stand on.
    ~TesselDialog() override;

    QLResultEnum OnShown() override;
    QLResultEnum Hide(bool deleteAfterClose) override;

    // The localised text of key, centred on the layout layer's rectangle, appended to the
    // default parent; 1 when the layout has no such layer.
    QLResultEnum AddText(const std::wstring& layerName, const std::wstring& key, base::CountedPtr<render::Font> font,
                         layer::TextLayer** out);
    // A title placed by AddText, shrunk when wider than its layer's rectangle: the rectangle
    // stands inside the box, so the title keeps a margin to the box's edges. Its wrapping is
    // left as it is.
    void FitToPlace(layer::TextLayer* text, const std::wstring& layerName);
};
