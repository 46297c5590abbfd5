// Builders of small effect libraries for the tests: one 8 x 8 white atlas with a few frames,
// and emitters whose particles stand still so that their quads are known.
#pragma once

#include <string>

namespace ptctest
{
// An atlas "atlas.png" of 8 x 8 pixels: "white" is the whole of it, "left" its left half.
inline std::string Atlas()
{
    return "<atlas file=\"atlas.png\" width=\"8\" height=\"8\">"
           "<frame name=\"white\" x=\"0\" y=\"0\" w=\"8\" h=\"8\"/>"
           "<frame name=\"left\" x=\"0\" y=\"0\" w=\"4\" h=\"8\"/></atlas>";
}

// A library holding the atlas and the given emitters at the top level.
inline std::string Library(const std::string& body)
{
    return "<?xml version=\"1.0\"?><effects version=\"1\">" + Atlas() + body + "</effects>";
}

// An emitter whose particles do not move: `burst` of them at the emitter, size 10 unless `extra`
// gives one, living 5 seconds, in one colour.
inline std::string StillEmitter(const std::string& name, int burst, const std::string& argb = "ffffffff",
                                const std::string& extra = "")
{
    const std::string size = extra.find("size=") == std::string::npos ? "size=\"10\" " : "";
    return "<emitter name=\"" + name + "\" duration=\"0.1\"><particles texture=\"white\" burst=\"" +
           std::to_string(burst) + "\" max=\"100000\" life=\"5\" " + size + extra + "><color t=\"0\" argb=\"" +
           argb + "\"/></particles></emitter>";
}

} // namespace ptctest
