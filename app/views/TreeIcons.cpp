#include "app/views/TreeIcons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace quillet::views {

namespace {

// A rounded tile in `color` with a white letter, at the sizes a tree row uses.
QIcon Tile(const QColor& color, const QString& letter, bool round = false) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap px(size, size);
        px.fill(Qt::transparent);
        QPainter p(&px);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(color.darker(140));
        p.setBrush(color);
        const QRectF r(0.5, 0.5, size - 1.0, size - 1.0);
        if (round)
            p.drawEllipse(r);
        else
            p.drawRoundedRect(r, size / 5.0, size / 5.0);
        QFont f;
        f.setBold(true);
        f.setPixelSize(size * 11 / 16);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(r, Qt::AlignCenter, letter);
        p.end();
        icon.addPixmap(px);
    }
    return icon;
}

}  // namespace

QHash<QString, QIcon> VBIcons() {
    return {
        {QStringLiteral("project"), Tile(QColor(0x1f, 0x4e, 0x9c), QStringLiteral("P"))},
        {QStringLiteral("module"), Tile(QColor(0x2e, 0x7d, 0x32), QStringLiteral("M"))},
        {QStringLiteral("form"), Tile(QColor(0xd8, 0x6f, 0x00), QStringLiteral("F"))},
        {QStringLiteral("class"), Tile(QColor(0x6a, 0x1b, 0x9a), QStringLiteral("C"))},
        {QStringLiteral("usercontrol"), Tile(QColor(0x00, 0x79, 0x6b), QStringLiteral("U"))},
        {QStringLiteral("routine"), Tile(QColor(0x60, 0x6a, 0x75), QStringLiteral("f"), true)},
        {QStringLiteral("calledroutines"), Tile(QColor(0xb7, 0x1c, 0x1c), QStringLiteral("R"))},
    };
}

}  // namespace quillet::views
