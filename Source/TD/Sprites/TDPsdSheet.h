// A PSD file as a sheet of pictures: every layer but the bottom-most, named by its group path.
#pragma once

#include "Source/TD/Sprites/TDImageSheet.h"

#include <memory>

namespace base
{
class Stream;
}
namespace psd
{
struct Document;
}

class TDPsdSheet : public TDImageSheet
{
public:
    // Takes the document; keepPixels false frees it once the names and rectangles are read.
    TDPsdSheet(std::wstring path, psd::Document* document, bool keepPixels);
    ~TDPsdSheet() override;

    const u32* pixels(size_t i) const override;

    // Reads the document from a stream; null (with the cause in the log) when it is damaged.
    static std::unique_ptr<TDPsdSheet> read(const std::wstring& path, base::Stream& stream, bool keepPixels);
    // Opens path + ".psd", else path itself, through the file manager (mounted packs included);
    // null with a log line when neither exists or the file is damaged.
    static std::unique_ptr<TDPsdSheet> open(const std::wstring& path, bool keepPixels);

private:
    psd::Document* mDocument = nullptr;
    std::vector<i32> mLayerOf; // image index -> layer index in the document
};
