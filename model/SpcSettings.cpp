#include "model/SpcSettings.h"

#include <cmath>

namespace {

QString limitText(const std::optional<double>& limit)
{
    return limit ? QString::number(*limit, 'g', 17) : QString();
}

// Empty stays no limit; text that is not a finite number makes the entry unreadable.
bool readLimit(const QString& text, std::optional<double>* limit)
{
    if (text.trimmed().isEmpty()) {
        limit->reset();
        return true;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    *limit = value;
    return true;
}

} // namespace

QString SpcSettings::rulesText() const
{
    QString text;
    for (const bool on : rules)
        text += on ? QLatin1Char('1') : QLatin1Char('0');
    return text;
}

void SpcSettings::setRulesText(const QString& text)
{
    for (int k = 0; k < numRules; ++k)
        rules[static_cast<size_t>(k)] = k >= text.size() || text.at(k) != QLatin1Char('0');
}

QStringList SpcSettings::limitsTexts() const
{
    QStringList texts;
    for (auto it = limits.cbegin(); it != limits.cend(); ++it) {
        if (it->usl || it->lsl)
            texts.append(it.key() + QLatin1Char('|') + limitText(it->usl) + QLatin1Char('|') +
                         limitText(it->lsl));
    }
    return texts;
}

void SpcSettings::setLimitsTexts(const QStringList& texts)
{
    limits.clear();
    for (const QString& text : texts) {
        const QStringList parts = text.split(QLatin1Char('|'));
        Limits entry;
        if (parts.size() != 3 || parts.at(0).isEmpty() || !readLimit(parts.at(1), &entry.usl) ||
            !readLimit(parts.at(2), &entry.lsl))
            continue;
        limits.insert(parts.at(0), entry);
    }
}

bool SpcSettings::operator==(const SpcSettings& other) const
{
    return value == other.value && base == other.base && rules == other.rules &&
           limits == other.limits;
}
