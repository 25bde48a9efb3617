// The colour swatch a Colors menu item shows as its icon.
#pragma once

#include <cstdint>

#include <QIcon>
#include <QPixmap>

namespace quillet {

// A 16 x 16 square of the colour (a Windows colour value) inside a one-pixel dark grey border.
QPixmap SwatchPixmap(std::int32_t color);
QIcon SwatchIcon(std::int32_t color);

}  // namespace quillet
