// DigCommand: the command object built around a packet, with its name, two
// further texts and a type and a value record per parameter.
#pragma once

#include <memory>

#include "command_text.h"
#include "dig_command_packet700.h"

namespace digdec {

class DigCommand {
public:
    static constexpr const char* kDefaultName = "Remote Function";

    // An empty command; Wrap gives it a packet.
    DigCommand();

    // A command with a packet of its own: `version` 700 or 610 (see
    // CreateDigCommandPacket), holding `code`, prepared for `count` parameters.
    // ok() is false for another version or when memory is short.
    DigCommand(uint32_t code, int count, int version, const char* name, const char* text1,
               const char* text2, int32_t value);

    // A copy of `other` in the layout `version`: texts, value and packet
    // (CopyDigCommandPacket). ok() is false when the copy is refused.
    DigCommand(const DigCommand& other, int version);

    DigCommand(const DigCommand&) = delete;
    DigCommand& operator=(const DigCommand&) = delete;

    // Reads the caller's packet in place as layout 700 (`readable` bytes at most)
    // and describes its parameters. False for a malformed packet or short memory.
    bool Wrap(void* packet, std::size_t readable);

    bool ok() const { return packet_ != nullptr; }
    DigCommandPacket& packet() { return *packet_; }
    const DigCommandPacket& packet() const { return *packet_; }

    const char* Name() const { return name_.c_str(); }
    bool SetName(const char* name) { return name_.Set(name); }
    const char* Text1() const { return text1_.c_str(); }
    const char* Text2() const { return text2_.c_str(); }
    int32_t Value() const { return value_; }

    // Rebuilds the per-parameter tables from the packet. False (and reported)
    // when memory is short.
    bool Describe();
    int Described() const { return described_; }
    uint8_t ParamType(int i) const { return types_[i]; }
    const ParamRecord& ParamValue(int i) const { return values_[i]; }

private:
    DigCommandPacket700 embedded_;
    std::unique_ptr<DigCommandPacket> created_;
    DigCommandPacket* packet_ = nullptr;
    CommandText name_{kDefaultName};
    CommandText text1_;
    CommandText text2_;
    int32_t value_ = 0;
    InlineTable<uint8_t, 12> types_;
    InlineTable<ParamRecord, 12> values_;
    int described_ = 0;
};

} // namespace digdec
