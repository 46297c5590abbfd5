// Turns named layers of a layout (a PSD file or a folder with "layers.xml") into image layers
// attached where a control or dialog needs them. Owns the layers it attached and, when told,
// the layout.
#pragma once

#include "Core/Base/OwnedList.h"
#include "Core/Base/OwnedOrBorrowed.h"
#include "Core/Base/Rect.h"
#include "Core/Base/Types.h"

#include <memory>
#include <string>

namespace base
{
struct ImageInfo;
}
namespace file
{
class ImageContainer;
}
namespace layer
{
class HitTestListener;
class ImageLayer;
class Layer;
} // namespace layer
namespace widget
{
class TrapHitTestListener;
class Widget;
} // namespace widget

namespace gui
{
class GameControlHelper
{
public:
    // How an attached layer takes hits.
    enum HitMode : u32
    {
        HIT_KEEP = 0, // keeps the helper's hit listener
        HIT_NONE = 1, // not hit-testable
        HIT_TRAP = 2, // the trap listener
    };

    // Out of line, as the destructor: the owned types are only declared here.
    GameControlHelper();
    // Detaches and deletes the attached layers, the trap listener and an owned layout.
    virtual ~GameControlHelper();
    GameControlHelper(const GameControlHelper&) = delete;
    GameControlHelper& operator=(const GameControlHelper&) = delete;

    // Opens the layout through the file manager; 1 when there is none.
    QLResultEnum Init(const std::wstring& path, widget::Widget* widget, layer::HitTestListener* hitListener,
                      layer::Layer* parentLayer, bool ownsContainer);
    // With a layout already open (controls inside a dialog share the dialog's).
    QLResultEnum Init(file::ImageContainer* container, widget::Widget* widget, layer::HitTestListener* hitListener,
                      layer::Layer* parentLayer, bool ownsContainer);

    // A new image layer of the named layout layer at its layout position, with the helper's
    // hit listener; its layout rectangle to outRect when given. Not attached, not owned.
    QLResultEnum LoadLayer(const std::wstring& name, math::Rect* outRect, layer::ImageLayer** out);
    // LoadLayer, placed relative to the parent and attached beneath (Add) or on top (Append).
    QLResultEnum AddImageLayer(const std::wstring& name, u32 mode, layer::Layer* parent, layer::ImageLayer** out);
    QLResultEnum AppendImageLayer(const std::wstring& name, u32 mode, layer::Layer* parent, layer::ImageLayer** out);
    // Applies the hit mode, takes ownership and attaches (parent null: the default parent).
    QLResultEnum AttachFirst(layer::Layer* layer, u32 mode, layer::Layer* parent);
    QLResultEnum AttachLast(layer::Layer* layer, u32 mode, layer::Layer* parent);
    QLResultEnum AttachFirst(std::unique_ptr<layer::Layer> layer, u32 mode, layer::Layer* parent);
    QLResultEnum AttachLast(std::unique_ptr<layer::Layer> layer, u32 mode, layer::Layer* parent);
    widget::TrapHitTestListener* GetTrapListener();
    // The layout's description of a layer, or null.
    const base::ImageInfo* FindLayoutLayer(const std::wstring& name) const;

    file::ImageContainer* GetContainer() const { return mContainer.get(); }
    layer::Layer* GetDefaultParent() const { return mDefaultParent; }

    base::OwnedList<layer::Layer> mCreated;
    base::OwnedOrBorrowed<file::ImageContainer> mContainer;
    widget::Widget* mWidget = nullptr;
    layer::Layer* mDefaultParent = nullptr;
    layer::HitTestListener* mHitListener = nullptr;
    std::unique_ptr<widget::TrapHitTestListener> mTrap;

private:
    QLResultEnum PlaceImageLayer(const std::wstring& name, u32 mode, layer::Layer* parent, bool beneath,
                                 layer::ImageLayer** out);
    void ApplyMode(std::unique_ptr<layer::Layer> layer, u32 mode);
};
} // namespace gui
