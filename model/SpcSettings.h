#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the SPC page is set to, kept with the project: the value shown, the base range of
// the control limits, the run rules switched on, and the tolerance limits (USL, LSL) per value.
struct SpcSettings
{
    static constexpr int numRules = 8;

    struct Limits
    {
        std::optional<double> usl;
        std::optional<double> lsl;
        bool operator==(const Limits& other) const { return usl == other.usl && lsl == other.lsl; }
    };

    // A value's key ("max:1", "start", ...); empty for the page's first.
    QString value;
    // Shot ranges as the user typed them ("1-50"); empty for every shot.
    QString base;
    std::array<bool, numRules> rules{{true, true, true, true, true, true, true, true}};
    QMap<QString, Limits> limits;

    bool isDefault() const { return *this == SpcSettings(); }

    // The rules as "11011111"; anything but '0' at a place switches that rule on.
    QString rulesText() const;
    void setRulesText(const QString& text);
    // The limits as "key|usl|lsl" texts, an empty place for a limit not given; those that
    // cannot be read are passed over.
    QStringList limitsTexts() const;
    void setLimitsTexts(const QStringList& texts);

    bool operator==(const SpcSettings& other) const;
    bool operator!=(const SpcSettings& other) const { return !(*this == other); }
};
