// The settings that outlive the process: the 64-byte "config.dat" record.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// Field order is the file's order; the reserved words are written 0 and ignored.
struct SettingsRecord {
    int16_t m_nSource = 0;
    int16_t m_nDefaultWidth = 0;
    int16_t m_nDefaultHeight = 0;
    int16_t m_nSizeIndex = 0;
    int16_t m_nSupplyModel = 0;
    int16_t m_nSupplyFullScale = 500;
};

constexpr std::size_t kSettingsFileSize = 64;
using SettingsBytes = std::array<uint8_t, kSettingsFileSize>;

// The record as the file holds it: six little-endian 16-bit values, then
// four reserved 16-bit and eleven reserved 32-bit zeros.
SettingsBytes EncodeSettings(const SettingsRecord& record);

// Reads the fields present in the first `size` bytes; a field that is missing
// or out of range keeps its value in `record`. Source 0..8, size index 0..9,
// sizes 1..1280 x 1..1024, supply model 0/1, full scale 100..10000.
void DecodeSettings(const uint8_t* bytes, std::size_t size, SettingsRecord* record);

// Reads the file at `path` into `record` (see DecodeSettings). A missing or
// short file leaves defaults for what it lacks; returns false when no file was
// read: anything but a regular file (a named pipe...) is refused without waiting.
bool ReadSettingsFile(const std::string& path, SettingsRecord* record);

// Replaces `path` by the 64 bytes, whole or not at all; false when that fails.
bool WriteSettingsFile(const std::string& path, const SettingsRecord& record);
