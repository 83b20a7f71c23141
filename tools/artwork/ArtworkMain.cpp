// Draws the application's own pictures (splash screen, logo, spin box arrows) into
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

#include <functional>

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

// Tool bar and button glyphs: white shapes on transparent ground, recoloured at run time
// through their mask.
QImage glyph(const std::function<void(QPainter&)>& draw)
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    draw(p);
    return image;
}

void wifi(QPainter& p)
{
    for (int r : {12, 24, 36})
        p.drawArc(QRectF(32 - r, 50 - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(32, 50), 4, 4);
}

void disconnectGlyph(QPainter& p)
{
    wifi(p);
    p.drawLine(10, 10, 54, 54);
}

void menuGlyph(QPainter& p)
{
    for (int y : {16, 32, 48})
        p.drawLine(10, y, 54, y);
}

void adjust(QPainter& p)
{
    p.drawEllipse(QPointF(32, 32), 20, 20);
    p.drawLine(32, 4, 32, 20);
    p.drawLine(32, 44, 32, 60);
    p.drawLine(4, 32, 20, 32);
    p.drawLine(44, 32, 60, 32);
}

void play(QPainter& p)
{
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF() << QPointF(18, 10) << QPointF(54, 32) << QPointF(18, 54));
}

void stopGlyph(QPainter& p)
{
    p.setBrush(Qt::white);
    p.drawRect(QRectF(14, 14, 36, 36));
}

void newGlyph(QPainter& p)
{
    p.drawPolygon(QPolygonF() << QPointF(14, 6) << QPointF(40, 6) << QPointF(52, 18)
                              << QPointF(52, 58) << QPointF(14, 58));
    p.drawLine(33, 22, 33, 44);
    p.drawLine(22, 33, 44, 33);
}

void openGlyph(QPainter& p)
{
    p.drawPolygon(QPolygonF() << QPointF(6, 14) << QPointF(24, 14) << QPointF(30, 20)
                              << QPointF(56, 20) << QPointF(56, 52) << QPointF(6, 52));
    p.drawLine(6, 28, 56, 28);
}

void saveGlyph(QPainter& p)
{
    p.drawPolygon(QPolygonF() << QPointF(8, 8) << QPointF(48, 8) << QPointF(56, 16)
                              << QPointF(56, 56) << QPointF(8, 56));
    p.drawRect(QRectF(18, 8, 24, 14));
    p.drawRect(QRectF(18, 36, 28, 20));
}

void deleteGlyph(QPainter& p)
{
    p.drawLine(10, 14, 54, 14);
    p.drawLine(26, 8, 38, 8);
    p.drawPolygon(QPolygonF() << QPointF(16, 14) << QPointF(20, 58) << QPointF(44, 58)
                              << QPointF(48, 14));
    p.drawLine(28, 24, 28, 48);
    p.drawLine(36, 24, 36, 48);
}

// The lock of the oscilloscope page; open, the shackle swings up and to the right.
void lockGlyph(QPainter& p, bool closed)
{
    const QRectF shackle = closed ? QRectF(18, 6, 28, 30) : QRectF(34, 2, 28, 30);
    const double legTop = shackle.center().y();
    p.drawArc(shackle, 0, 180 * 16);
    p.drawLine(QPointF(shackle.left(), legTop), QPointF(shackle.left(), closed ? 30 : legTop + 4));
    p.drawLine(QPointF(shackle.right(), legTop), QPointF(shackle.right(), 30));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(10, 28, 44, 32), 5, 5);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(QPointF(32, 41), 4.5, 4.5);
    p.drawRect(QRectF(30, 41, 4, 10));
}

void lockClosedGlyph(QPainter& p)
{
    lockGlyph(p, true);
}

void lockOpenGlyph(QPainter& p)
{
    lockGlyph(p, false);
}

// Language flags drawn as plain stripes.
QImage flag(const QList<QColor>& stripes)
{
    QImage image(64, 40, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    const int h = image.height() / stripes.size();
    for (int i = 0; i < stripes.size(); ++i)
        p.fillRect(0, i * h, image.width(), i + 1 == stripes.size() ? image.height() - i * h : h,
                   stripes.at(i));
    return image;
}

QImage englishFlag()
{
    QImage image(64, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0x01, 0x21, 0x69));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 8));
    p.drawLine(0, 0, 64, 40);
    p.drawLine(64, 0, 0, 40);
    p.setPen(QPen(QColor(0xC8, 0x10, 0x2E), 3));
    p.drawLine(0, 0, 64, 40);
    p.drawLine(64, 0, 0, 40);
    p.fillRect(26, 0, 12, 40, Qt::white);
    p.fillRect(0, 14, 64, 12, Qt::white);
    p.fillRect(29, 0, 6, 40, QColor(0xC8, 0x10, 0x2E));
    p.fillRect(0, 17, 64, 6, QColor(0xC8, 0x10, 0x2E));
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
    const QList<QPair<const char*, void (*)(QPainter&)>> glyphs = {
        {"wifi.png", wifi},
        {"disconnect.png", disconnectGlyph},
        {"menu.png", menuGlyph},
        {"adjust.png", adjust},
        {"play.png", play},
        {"stop.png", stopGlyph},
        {"new.png", newGlyph},
        {"open.png", openGlyph},
        {"save.png", saveGlyph},
        {"delete.png", deleteGlyph},
        {"lock-closed.png", lockClosedGlyph},
        {"lock-open.png", lockOpenGlyph}};
    for (const auto& g : glyphs)
        ok &= glyph(g.second).save(out.filePath(QString::fromLatin1(g.first)));
    ok &= flag({Qt::black, QColor(0xDD, 0, 0), QColor(0xFF, 0xCE, 0)})
              .save(out.filePath(QStringLiteral("german.png")));
    ok &= englishFlag().save(out.filePath(QStringLiteral("english.png")));
    if (!ok)
        err << "could not write the pictures\n";
    return ok ? 0 : 1;
}
