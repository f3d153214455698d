#pragma once

// Puts the whole application into the dark or the light appearance: the Fusion style with one of
// our two palettes, never the desktop's own colours.
namespace Appearance {

void apply(bool isDarkMode);

} // namespace Appearance
