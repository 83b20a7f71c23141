#include "widgets/flat/FlatTheme.h"

#include "app/Logging.h"

FlatTheme::FlatTheme()
{
    setColor(QStringLiteral("primary1"), Material::cyan500);
    setColor(QStringLiteral("primary2"), Material::cyan700);
    setColor(QStringLiteral("primary3"), Material::lightBlack);
    setColor(QStringLiteral("accent1"), Material::pinkA200);
    setColor(QStringLiteral("accent2"), Material::grey100);
    setColor(QStringLiteral("accent3"), Material::grey500);
    setColor(QStringLiteral("text"), Material::darkBlack);
    setColor(QStringLiteral("alternateText"), Material::white);
    setColor(QStringLiteral("canvas"), Material::white);
    setColor(QStringLiteral("border"), Material::grey300);
    setColor(QStringLiteral("disabled"), Material::minBlack);
    setColor(QStringLiteral("disabled2"), Material::faintBlack);
    setColor(QStringLiteral("disabled3"), Material::grey300);
}

void FlatTheme::setColor(const QString& key, const QColor& color)
{
    m_colors.insert(key, color);
}

void FlatTheme::setColor(const QString& key, Material::Color color)
{
    setColor(key, Material::toColor(color));
}

QColor FlatTheme::getColor(const QString& key) const
{
    const auto it = m_colors.constFind(key);
    if (it == m_colors.constEnd()) {
        qCWarning(lcWidgets).noquote()
            << QStringLiteral("A theme color matching the key '%1' could not be found.").arg(key);
        return QColor();
    }
    return it.value();
}
