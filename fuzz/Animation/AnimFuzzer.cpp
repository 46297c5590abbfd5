// Fuzzes the animation reader, then evaluates every envelope it read around and beyond its keys
// and poses a layer with each animation layer.
#include "Core/Layer/Drawable.h"
#include "Core/Layer/LayerAnim.h"
#include "Core/Media/Animation/AnimData.h"

#include <cstdint>

namespace
{
class Plain : public layer::Drawable
{
public:
    QLResultEnum DrawSelf(render::Graphics*) override { return QL_OK; }
};

void Probe(const animation::Envelope& envelope)
{
    volatile float sink = 0.0f;
    for (float t : {-1000.0f, -1.5f, 0.0f, 0.37f, 2.5f, 1e9f, -1e30f})
        sink = sink + envelope.Evaluate(t);
    for (const animation::EnvelopeKey& key : envelope.mKeys)
        for (float d : {-0.0003f, 0.0f, 0.0001f, 0.25f})
            sink = sink + envelope.Evaluate(key.time + d);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    animation::AnimData anim;
    if (anim.Parse(data, size, L"fuzz") != QL_OK)
        return 0;
    Plain target;
    for (const auto& layer : anim.mLayers)
    {
        for (const animation::Envelope& envelope : layer->mChannels)
            Probe(envelope);
        if (layer->mColour)
            for (const animation::Envelope& envelope : layer->mColour->channels)
                Probe(envelope);
        animation::LayerAnim pose(&target, layer.get());
        (void)pose.Apply(anim.mStartTime);
        (void)pose.Apply((anim.mStartTime + anim.mEndTime) * 0.5f);
        (void)pose.Apply(anim.mEndTime);
    }
    return 0;
}
