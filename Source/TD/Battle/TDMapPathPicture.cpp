// The path picture: the level's roads drawn once into an off-screen picture.
#include "Source/TD/Battle/TDMap.h"

#include "Source/TD/Seams/TDBattleCanvas.h"

void TDMap::renderPathPicture(TDBattleCanvas& canvas, const TDTexture* brush, float brushWidth, float brushHeight)
{
    mPathPicture.reset();
    mPathPictureRect = mScreenMode->battleViewRect();
    const TDViewRect& view = mPathPictureRect;
    // The picture's top-left pixel is the view's top-left battle point.
    mPathPicture = canvas.renderPicture(static_cast<i32>(view.width), static_cast<i32>(view.height),
                                        [&](TDBattleCanvas& picture)
                                        {
                                            picture.setBlendMode(kBlendAlpha);
                                            picture.setColor({1.0f, 1.0f, 1.0f, 1.0f});
                                            picture.pushTransform(1.0f, -view.x, -view.y);
                                            drawLinks(picture, brush, brushWidth, brushHeight);
                                            picture.popTransform();
                                        });
    mPathPictureDirty = false;
}

void TDMap::drawLinks(TDBattleCanvas& canvas, const TDTexture* brush, float brushWidth, float brushHeight) const
{
    for (const TDLink* link : mLinks)
        for (const auto& [x, y] : linkDots(*link))
        {
            math::Transform2D at;
            at.Translate(x, y);
            canvas.drawImage(brush, brushWidth, brushHeight, at, false);
        }
}
