// The visible rectangle from the application's display mode.
#include "Source/TD/Shell/TDScreenView.h"

#include "Framework/GameApplication.h"

TDScreenView TDScreenView::current()
{
    TDScreenView view;
    const framework::GameApplication* app = framework::GameApplication::Get();
    if (!app || app->mView.viewWidth <= 0.0f || app->mView.viewHeight <= 0.0f)
        return view;
    view.x = app->mView.viewOffsetX;
    view.y = app->mView.viewOffsetY;
    view.width = app->mView.viewWidth;
    view.height = app->mView.viewHeight;
    return view;
}
