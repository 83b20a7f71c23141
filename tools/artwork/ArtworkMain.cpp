// Draws the application's own pictures (splash screen, logo, spin box arrows, page icons) into
// resources/icons. Run by hand when the artwork changes:
//   cmake --build build --target ventaro-artwork
//   build/bin/ventaro-artwork resources/fonts resources/icons
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>

namespace {

const QColor brand(0x23, 0x72, 0xA4);

// A stylised moulding cycle: tool closes, injection, holding pressure, cooling, opening.
QPainterPath cycleCurve(const QRectF& r)
{
    QPainterPath path;
    const int steps = 400;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        double v;
        if (t < 0.15)
            v = 0.1 + 0.8 * (t / 0.15) * (t / 0.15);
        else if (t < 0.3)
            v = 0.9 + 0.05 * std::sin((t - 0.15) * 60);
        else if (t < 0.55)
            v = 0.9 - 0.25 * (t - 0.3) / 0.25;
        else if (t < 0.85)
            v = 0.65 - 0.1 * (t - 0.55) / 0.3;
        else
            v = 0.55 - 0.45 * (t - 0.85) / 0.15;
        const QPointF p(r.left() + t * r.width(), r.bottom() - v * r.height());
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    return path;
}

QImage splash()
{
    QImage image(1200, 700, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, 700);
    background.setColorAt(0, brand.lighter(115));
    background.setColorAt(1, brand.darker(160));
    p.fillRect(image.rect(), background);

    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    for (int x = 100; x < 1200; x += 100)
        p.drawLine(x, 330, x, 640);
    for (int y = 340; y <= 640; y += 60)
        p.drawLine(60, y, 1140, y);
    p.setPen(QPen(QColor(255, 255, 255, 200), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(cycleCurve(QRectF(60, 340, 1080, 300)));
    p.setPen(QPen(QColor(255, 170, 60, 220), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(cycleCurve(QRectF(60, 380, 1080, 260)));

    p.setPen(Qt::white);
    QFont title(QStringLiteral("Roboto"));
    title.setWeight(QFont::Bold);
    title.setPixelSize(140);
    p.setFont(title);
    p.drawText(QRect(60, 40, 1080, 170), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Ventaro"));
    QFont sub(QStringLiteral("Roboto"));
    sub.setWeight(QFont::Medium);
    sub.setPixelSize(36);
    p.setFont(sub);
    p.drawText(QRect(64, 210, 1080, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Messdaten am Spritzgießwerkzeug"));
    sub.setPixelSize(28);
    p.setFont(sub);
    p.drawText(QRect(60, 650, 1080, 40), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Version 7.0 · Dornhal"));
    return image;
}

QImage logo()
{
    QImage image(160, 160, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(brand);
    p.drawRoundedRect(QRectF(4, 4, 152, 152), 28, 28);
    p.setPen(QPen(Qt::white, 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath d;
    d.moveTo(48, 36);
    d.lineTo(48, 124);
    d.lineTo(78, 124);
    d.cubicTo(128, 124, 128, 36, 78, 36);
    d.closeSubpath();
    p.drawPath(d);
    return image;
}

QImage arrow(bool up, const QColor& color)
{
    QImage image(30, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    QPolygonF triangle;
    if (up)
        triangle << QPointF(15, 8) << QPointF(25, 21) << QPointF(5, 21);
    else
        triangle << QPointF(5, 9) << QPointF(25, 9) << QPointF(15, 22);
    p.drawPolygon(triangle);
    return image;
}

// The oscilloscope page's pictures, white on transparent: buttons sit on the brand blue.
QImage trashCan()
{
    QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(9, 12), QPointF(39, 12));
    p.drawLine(QPointF(19, 12), QPointF(20, 7));
    p.drawLine(QPointF(20, 7), QPointF(28, 7));
    p.drawLine(QPointF(28, 7), QPointF(29, 12));
    QPainterPath can;
    can.moveTo(12, 12);
    can.lineTo(14.5, 41);
    can.lineTo(33.5, 41);
    can.lineTo(36, 12);
    p.drawPath(can);
    for (double x : {19.5, 24.0, 28.5})
        p.drawLine(QPointF(x, 18), QPointF(x, 35));
    return image;
}

QImage padlock(bool closed)
{
    QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    // The shackle; open, it swings up and to the right.
    const QRectF shackle = closed ? QRectF(14, 6, 20, 24) : QRectF(24, 2, 20, 24);
    p.drawArc(shackle, 0, 180 * 16);
    p.drawLine(QPointF(shackle.left(), shackle.center().y()), QPointF(shackle.left(), 22));
    p.drawLine(QPointF(shackle.right(), shackle.center().y()),
               QPointF(shackle.right(), closed ? 22 : shackle.center().y() + 2));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(8, 21, 32, 23), 4, 4);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(QPointF(24, 31), 3.5, 3.5);
    p.drawRect(QRectF(22.5, 31, 3, 7));
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: ventaro-artwork FONT_DIR OUTPUT_DIR\n";
        return 2;
    }
    const QDir fonts(QString::fromLocal8Bit(argv[1]));
    for (const char* f : {"Roboto-Regular.ttf", "Roboto-Medium.ttf", "Roboto-Bold.ttf"})
        QFontDatabase::addApplicationFont(fonts.filePath(QString::fromLatin1(f)));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const QColor disabled(0xCC, 0xCC, 0xCC);
    bool ok = splash().save(out.filePath(QStringLiteral("Splashscreen-2.png")));
    ok &= logo().save(out.filePath(QStringLiteral("Dornhal-Logo-small.png")));
    ok &= arrow(true, brand).save(out.filePath(QStringLiteral("up.png")));
    ok &= arrow(false, brand).save(out.filePath(QStringLiteral("down.png")));
    ok &= arrow(true, disabled).save(out.filePath(QStringLiteral("up-disabled.png")));
    ok &= arrow(false, disabled).save(out.filePath(QStringLiteral("down-disabled.png")));
    ok &= trashCan().save(out.filePath(QStringLiteral("delete.png")));
    ok &= padlock(true).save(out.filePath(QStringLiteral("lock-closed.png")));
    ok &= padlock(false).save(out.filePath(QStringLiteral("lock-open.png")));
    if (!ok)
        err << "could not write the pictures\n";
    return ok ? 0 : 1;
}
