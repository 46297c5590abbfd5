// The scale factors image containers apply to the rectangles they describe.
#pragma once

namespace file
{
// The file manager's layout scale for "layers.xml" positions (1 without a file manager).
float LayoutScale();
// The media layer's image scale for every container rectangle (1 unless the application set one).
float ImageScale();
} // namespace file
