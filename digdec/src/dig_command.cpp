#include "dig_command.h"

#include "create_packet.h"
#include "dig_command_packet610.h"
#include <dvl/packet.h>

namespace digdec {

namespace {

// Where the packet lives: the embedded accessor for layout 700, else a made one.
DigCommandPacket* attach(DigCommandPacket700& embedded, std::unique_ptr<DigCommandPacket>& created,
                         uint32_t code, int count, int extra, int version)
{
    if (version == dvl::kLayout700) {
        if (!embedded.Reset(count))
            return nullptr;
        embedded.SetCode(code);
        return &embedded;
    }
    created = CreateDigCommandPacket(code, count, extra, version);
    return created.get();
}

} // namespace

DigCommand::DigCommand() = default;

DigCommand::DigCommand(uint32_t code, int count, int version, const char* name, const char* text1,
                       const char* text2, int32_t value)
    : value_(value)
{
    name_.Set(name ? name : kDefaultName);
    text1_.Set(text1);
    text2_.Set(text2);
    packet_ = attach(embedded_, created_, code, count, DigCommandPacket610::kInsideExtra, version);
    if (packet_ && !Describe())
        packet_ = nullptr;
}

DigCommand::DigCommand(const DigCommand& other, int version) : value_(other.value_)
{
    name_.Set(other.Name());
    text1_.Set(other.Text1());
    text2_.Set(other.Text2());
    if (!other.ok())
        return;
    const DigCommandPacket& from = other.packet();
    packet_ = attach(embedded_, created_, from.Code(), from.Count(), from.ExtraCount(), version);
    if (packet_ && (!CopyDigCommandPacket(from, *packet_) || !Describe()))
        packet_ = nullptr;
}

bool DigCommand::Wrap(void* packet, std::size_t readable)
{
    if (!embedded_.Wrap(packet, readable))
        return false;
    packet_ = &embedded_;
    created_.reset();
    if (Describe())
        return true;
    packet_ = nullptr;
    return false;
}

bool DigCommand::Describe()
{
    const int count = packet_->Count() + packet_->ExtraCount();
    if (!types_.Grow(count) || !values_.Grow(count))
        return false;
    const bool slots = dynamic_cast<DigCommandPacket610*>(packet_) != nullptr;
    for (int i = 0; i < count; ++i) {
        const uint16_t kind = packet_->Kind(i);
        types_[i] = static_cast<uint8_t>(kind);
        ParamRecord& record = values_[i];
        record.index = i;
        record.kind = kind;
        record.flags = packet_->Flags(i);
        record.size = slots ? static_cast<int32_t>(DigCommandPacket610::kSlotSize)
                            : static_cast<int32_t>(dvl::ValueSize(kind));
        record.word0 = packet_->Value(i);
        record.word1 = packet_->SecondWord(i);
    }
    described_ = count;
    return true;
}

} // namespace digdec
