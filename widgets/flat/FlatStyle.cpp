#include "widgets/flat/FlatStyle.h"

FlatStyle::FlatStyle()
    : m_theme(std::make_unique<FlatTheme>())
{
}

FlatStyle& FlatStyle::instance()
{
    static FlatStyle style;
    return style;
}

void FlatStyle::setTheme(FlatTheme* theme)
{
    if (theme)
        m_theme.reset(theme);
}
