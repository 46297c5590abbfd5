// Screens with their own over-buttons.
#include "Source/TD/Shell/HUDButtonWindow.h"

#include "Core/Base/Log.h"
#include "Core/Media/Image/ImageContainer.h"

HUDButtonWindow::HUDButtonWindow(const wchar_t* layout)
{
    if (!buildFromLayout(layout))
        QL_LOG(L"Layout '%s' not opened: the window shows nothing\n") << base::LogStyle::Error << layout;
    mButtons.clear();
    mOwnButtons.build(mLayout.get());
    setFont(HUDWindowContext::Get().windowFont);
}

HUDButtonWindow::~HUDButtonWindow() { mOwnButtons.clear(); }

void HUDButtonWindow::Draw(render::Graphics* graphics)
{
    if (!graphics)
        return;
    HUDWindow::Draw(graphics);
    mOwnButtons.draw(graphics);
}

void HUDButtonWindow::Update(float dt)
{
    HUDWindow::Update(dt);
    HUDRootPointer(mPointerX, mPointerY);
    mOwnButtons.update(dt);
}
