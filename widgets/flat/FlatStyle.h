#pragma once

#include "widgets/flat/FlatTheme.h"

#include <memory>

// Process-wide holder of the flat theme; created on first use with the built-in defaults.
class FlatStyle
{
public:
    static FlatStyle& instance();

    // Takes ownership of theme.
    void setTheme(FlatTheme* theme);
    const FlatTheme& theme() const { return *m_theme; }

private:
    FlatStyle();
    std::unique_ptr<FlatTheme> m_theme;
};
