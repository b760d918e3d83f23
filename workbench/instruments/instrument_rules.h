// The instrument dialogs' rules without widgets: what they show and what they
// accept from the user.
#pragma once

#include <cstdint>
#include <optional>

#include <QString>

// Volts shown for slider position `position` (0..1023) of a supply of
// `range` volts: range x position / 1023 in integers, truncated.
float PiezoVoltage(int16_t range, int16_t position);

// The full-scale voltage typed by the user: a leading decimal integer ("%d"),
// 100 when there is none, clamped to 100..10000.
int16_t ParseSupplyRange(const QString& text);

// "%9.4f" of a position in millimetres ("   0.0000"); "?" for the position
// of an axis that does not answer.
QString FormatPosition(float mm);

// "(%3.0f)" of a speed in mm/min.
QString FormatSpeed(float mmPerMinute);

// A target typed in millimetres: a leading number with a decimal point, as
// positions are shown, whose counts at `countsPerMm` fit 32 bits; nothing
// otherwise.
std::optional<float> ParseTarget(const QString& text, int countsPerMm);
