#include "settings_record.h"

#include "size_table.h"

#include <base/files.h>

namespace {

void Put16(SettingsBytes& bytes, std::size_t offset, int16_t value)
{
    auto u = static_cast<uint16_t>(value);
    bytes[offset] = static_cast<uint8_t>(u & 0xFF);
    bytes[offset + 1] = static_cast<uint8_t>(u >> 8);
}

// The value at `offset` when the file is long enough to hold it.
bool Get16(const uint8_t* bytes, std::size_t size, std::size_t offset, int16_t* value)
{
    if (offset + 2 > size)
        return false;
    *value = static_cast<int16_t>(bytes[offset] | (bytes[offset + 1] << 8));
    return true;
}

void Take(const uint8_t* bytes, std::size_t size, std::size_t offset, int lo, int hi,
          int16_t* field)
{
    int16_t value = 0;
    if (Get16(bytes, size, offset, &value) && value >= lo && value <= hi)
        *field = value;
}

} // namespace

SettingsBytes EncodeSettings(const SettingsRecord& r)
{
    SettingsBytes bytes{};
    Put16(bytes, 0, r.m_nSource);
    Put16(bytes, 2, r.m_nDefaultWidth);
    Put16(bytes, 4, r.m_nDefaultHeight);
    Put16(bytes, 6, r.m_nSizeIndex);
    Put16(bytes, 8, r.m_nSupplyModel);
    Put16(bytes, 10, r.m_nSupplyFullScale);
    return bytes;
}

void DecodeSettings(const uint8_t* bytes, std::size_t size, SettingsRecord* r)
{
    Take(bytes, size, 0, 0, 8, &r->m_nSource);
    Take(bytes, size, 2, 1, kLargestImageWidth, &r->m_nDefaultWidth);
    Take(bytes, size, 4, 1, kLargestImageHeight, &r->m_nDefaultHeight);
    Take(bytes, size, 6, 0, 9, &r->m_nSizeIndex);
    Take(bytes, size, 8, 0, 1, &r->m_nSupplyModel);
    Take(bytes, size, 10, 100, 10000, &r->m_nSupplyFullScale);
}

bool ReadSettingsFile(const std::string& path, SettingsRecord* record)
{
    std::string bytes, error;
    if (!ondula::read_regular_file(path, kSettingsFileSize, &bytes, &error))
        return false;
    DecodeSettings(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), record);
    return true;
}

bool WriteSettingsFile(const std::string& path, const SettingsRecord& record)
{
    const SettingsBytes bytes = EncodeSettings(record);
    std::string error;
    return ondula::write_file_atomically(path, bytes, &error);
}
