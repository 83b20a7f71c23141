#pragma once

#include "widgets/flat/Material.h"

#include <QColor>
#include <QHash>
#include <QString>

// Named colours of the flat widget set. A new theme holds the built-in defaults.
class FlatTheme
{
public:
    FlatTheme();

    void setColor(const QString& key, const QColor& color);
    void setColor(const QString& key, Material::Color color);
    // The colour stored for key; an unknown key gives a warning and an invalid colour.
    QColor getColor(const QString& key) const;

private:
    QHash<QString, QColor> m_colors;
};
