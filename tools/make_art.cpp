// Draws the program's icon and logo into PNG files (the copies under app/resources/ were made with
// it): quillet-make-art <folder>
#include <cstdio>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// A quill feather across a square of side `s` whose top-left corner is at `origin`.
void DrawQuill(QPainter& p, QPointF origin, double s) {
    p.save();
    p.translate(origin);
    p.scale(s / 100.0, s / 100.0);
    // Vane: a long leaf from the tip at the lower left to the top right.
    QPainterPath vane;
    vane.moveTo(22, 82);
    vane.cubicTo(30, 48, 58, 16, 90, 8);
    vane.cubicTo(84, 36, 60, 66, 22, 82);
    QLinearGradient g(22, 82, 90, 8);
    g.setColorAt(0, QColor(0xF5, 0xF0, 0xE1));
    g.setColorAt(1, QColor(0xFF, 0xFF, 0xFF));
    p.setPen(QPen(QColor(0x2B, 0x3A, 0x55), 2.2));
    p.setBrush(g);
    p.drawPath(vane);
    // Barbs.
    p.setPen(QPen(QColor(0x8A, 0x96, 0xA8), 1.2));
    for (int i = 0; i < 7; ++i) {
        const double t = 0.18 + i * 0.1;
        const QPointF on(22 + (90 - 22) * t, 82 + (8 - 82) * t);
        p.drawLine(on, on + QPointF(8 - i * 0.6, 4 + i * 0.3));
    }
    // Shaft and nib.
    p.setPen(QPen(QColor(0x2B, 0x3A, 0x55), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 92), QPointF(88, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1B, 0x26, 0x3B));
    QPainterPath nib;
    nib.moveTo(8, 96);
    nib.lineTo(16, 84);
    nib.lineTo(20, 88);
    nib.closeSubpath();
    p.drawPath(nib);
    // An ink drop.
    p.setBrush(QColor(0x1E, 0x5A, 0xA8));
    p.drawEllipse(QPointF(10, 97), 3, 2);
    p.restore();
}

QImage Icon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, size);
    bg.setColorAt(0, QColor(0x3C, 0x7C, 0xC8));
    bg.setColorAt(1, QColor(0x1D, 0x4E, 0x8C));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size * 0.18, size * 0.18);
    DrawQuill(p, QPointF(size * 0.08, size * 0.06), size * 0.86);
    return img;
}

QImage Logo() {
    QImage img(520, 180, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.drawImage(QPointF(16, 26), Icon(128));
    QFont title("DejaVu Serif", 56, QFont::Bold);
    p.setFont(title);
    p.setPen(QColor(0x1D, 0x4E, 0x8C));
    p.drawText(QRectF(164, 20, 350, 96), Qt::AlignLeft | Qt::AlignVCenter, "Quillet");
    QFont sub("DejaVu Sans", 13);
    p.setFont(sub);
    p.setPen(QColor(0x44, 0x4C, 0x58));
    p.drawText(QRectF(168, 112, 350, 28), Qt::AlignLeft | Qt::AlignVCenter, "Trace code and line numbers");
    p.drawText(QRectF(168, 136, 350, 28), Qt::AlignLeft | Qt::AlignVCenter, "for Visual Basic 6 projects");
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillet-make-art <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
    const bool ok = Icon(64).save(folder + "quillet.png") && Icon(256).save(folder + "quillet-256.png") &&
                    Logo().save(folder + "logo.png");
    return ok ? 0 : 1;
}
