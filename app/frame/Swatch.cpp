#include "app/frame/Swatch.h"

#include <QPainter>

#include <tovcore/controls.h>

namespace quillet {

QPixmap SwatchPixmap(std::int32_t color) {
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor(0x40, 0x40, 0x40));
    QPainter p(&pixmap);
    p.fillRect(QRect(1, 1, 14, 14), tovcore::ui::ToQColor(color));
    return pixmap;
}

QIcon SwatchIcon(std::int32_t color) { return QIcon(SwatchPixmap(color)); }

}  // namespace quillet
