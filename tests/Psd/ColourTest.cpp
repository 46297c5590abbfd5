// Colour records and conversions: each record space scales its components by its own range; HSB
// hues and Lab primaries land on their sRGB colours.
#include "Core/Psd/Colour.h"
#include "Core/Psd/Status.h"

#include <gtest/gtest.h>

TEST(Colour, RecordsOfEverySpaceAndTheHsbAndLabConversions)
{
    const u16 rgb[4] = {0xFF00, 0x8000, 0x00FF, 0};
    EXPECT_EQ(0xFFFF8000u, psd::ColourRecordToArgb(0, rgb));
    i32 status = 0;
    EXPECT_EQ(0x00FFFFFFu, psd::ColourRecordToArgb(42, rgb, &status));
    EXPECT_EQ(psd::kUnknownColourSpace, status);
    // HSB: pure red at hue 0, full saturation and brightness.
    const u16 hsb[4] = {0, 65535, 65535, 0};
    EXPECT_EQ(0xFFFF0000u, psd::ColourRecordToArgb(1, hsb));
    // CMYK records store 65535 as no ink.
    const u16 paper[4] = {65535, 65535, 65535, 65535};
    EXPECT_EQ(0xFFFFFFFFu, psd::ColourRecordToArgb(2, paper));
    const u16 ink[4] = {65535, 65535, 65535, 0};
    EXPECT_EQ(0xFF000000u, psd::ColourRecordToArgb(2, ink));
    // Lab: L 100 is white, within a step.
    const u16 white[4] = {10000, 0, 0, 0};
    EXPECT_EQ(0xFFFFFFFFu, psd::ColourRecordToArgb(7, white) | 0x00030303u);

    const struct
    {
        double hue, saturation, brightness;
        u32 argb;
    } hues[] = {{120, 1, 1, 0xFF00FF00u},
                {240, 1, 1, 0xFF0000FFu},
                {360, 1, 1, 0xFFFF0000u},
                {77, 0, 128 / 255.0, 0xFF808080u},
                {-30, 1, 0, 0xFF000000u}};
    for (const auto& h : hues)
        EXPECT_EQ(h.argb, psd::HsbToArgb(h.hue, h.saturation, h.brightness)) << h.hue;

    // sRGB red is about L 53.2, a 80.1, b 67.2; one step either way.
    const u32 red = psd::LabToArgb(53.24, 80.09, 67.20);
    EXPECT_NEAR(255, int((red >> 16) & 0xFF), 1);
    EXPECT_NEAR(0, int((red >> 8) & 0xFF), 1);
    EXPECT_NEAR(0, int(red & 0xFF), 1);
}
