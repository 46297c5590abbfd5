// Fuzzes the string conversions, the tokenizer and the formatter with fuzzed format strings.
#include "Core/Base/Formatter.h"
#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"
#include "Core/Base/Tokenizer.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace
{
void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

template <class C>
void FeedArguments(base::Formatter<C>& f, const std::basic_string<C>& text, const uint8_t* data, size_t size)
{
    double d = 0;
    long long ll = 0;
    if (size >= sizeof(d))
        std::memcpy(&d, data, sizeof(d));
    if (size >= sizeof(ll))
        std::memcpy(&ll, data + size - sizeof(ll), sizeof(ll));
    f << static_cast<int>(ll) << d << text << static_cast<unsigned>(ll) << static_cast<float>(d) << ll
      << static_cast<unsigned long long>(ll) << text.c_str();
    f.Finish();
    // Width is clamped, so each conversion adds a bounded amount of text.
    Check(f.GetResult().size() <= size + 8 * (base::Formatter<C>::kMaxWidth + 400 + size));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // Conversions never throw; valid text round-trips.
    const std::wstring wide = base::StringToWString(bytes, 1);
    const std::string back = base::WStringToString(wide, 1);
    Check(base::StringToWString(back, 1) == wide);
    Check(base::WStringToString(base::StringToWString(bytes, 0), 0) == bytes);
    for (int mode : {2, 3, 4})
        base::WStringToString(base::StringToWString(bytes, mode), mode);
    std::wstring raw;
    for (size_t i = 0; i + 4 <= size; i += 4)
    {
        uint32_t unit;
        std::memcpy(&unit, data + i, 4);
        raw.push_back(static_cast<wchar_t>(unit));
    }
    base::WStringToString(raw, 1);

    base::Tokenizer tokenizer(bytes, size ? static_cast<char>(data[0]) : ';', size % 2 == 0);
    std::string token;
    for (size_t n = 0; n <= size + 1 && tokenizer.NextToken(&token); ++n)
        Check(n <= size);

    // The input itself is the format, both narrow and wide.
    base::Formatter<char> narrow(bytes);
    FeedArguments(narrow, bytes, data, size);
    base::Formatter<wchar_t> wideFormat(wide);
    FeedArguments(wideFormat, wide, data, size);

    base::Log log;
    base::LogMessage(log, wide, __FILE__, "", "", 0) << bytes << 1 << 2.0;
    return 0;
}
