#include "instrument_rules.h"

#include <algorithm>
#include <cstdlib>

#include "metrology/instruments/c832_controller.h"
#include "workbench/core/entry_text.h"

namespace {

constexpr long kLowestRange = 100;
constexpr long kHighestRange = 10000;

} // namespace

float PiezoVoltage(int16_t range, int16_t position) { return float(range * position / 1023); }

int16_t ParseSupplyRange(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    char* end = nullptr;
    long value = std::strtol(bytes.constData(), &end, 10);
    if (end == bytes.constData())
        value = kLowestRange;
    return int16_t(std::clamp(value, kLowestRange, kHighestRange));
}

QString FormatPosition(float mm)
{
    if (mm == instruments::CC832Controller::kNoPosition)
        return QStringLiteral("?");
    return QString::asprintf("%9.4f", double(mm));
}

QString FormatSpeed(float mmPerMinute) { return QString::asprintf("(%3.0f)", double(mmPerMinute)); }

std::optional<float> ParseTarget(const QString& text, int countsPerMm)
{
    // Read as the positions are shown, with a decimal point whatever the session's locale.
    const std::optional<float> value = ParseLeadingFloat(text.toStdString());
    if (!value || !instruments::CC832Controller::ToCounts(*value, countsPerMm))
        return std::nullopt;
    return value;
}
