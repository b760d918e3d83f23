#include <cstring>

#include "driver_state.h"

namespace qdriver {
namespace {

using namespace wire;

uint32_t Masked(uint32_t value, uint32_t width)
{
    return width == 4 ? value : value & ((1u << (8 * width)) - 1);
}

class Interpreter {
public:
    Interpreter(Driver::State& s, Device& d, std::vector<uint8_t>& queue)
        : bus_(*s.options.bus), device_(d), cap_(s.options.iterationCap), queue_(queue)
    {
        count_ = GetWord(queue_.data(), kHeaderCount / 4);
        data_ = queue_.data() + DataAreaOffset(GetWord(queue_.data(), kHeaderCapacity / 4));
        extra_ = GetWord(queue_.data(), kHeaderExtra / 4);
    }

    Status Run()
    {
        for (uint32_t pc = 0; pc < count_;) {
            uint8_t* op = queue_.data() + OpOffset(pc);
            uint32_t code = GetWord(op, 0);
            if (code < kOpIn) {
                if (Status s = FlowOp(op, code, &pc))
                    return s;
                continue;
            }
            if (Status s = PortOp(op, code))
                return s;
            ++pc;
        }
        return win32::kSuccess;
    }

private:
    Status In(uint32_t port, uint32_t width, uint32_t* value)
    {
        uint32_t absolute = 0;
        if (!ValidWidth(width))
            return win32::kInvalidParameter;
        if (!ResolvePort(device_, port, width, &absolute))
            return win32::kAccessDenied;
        *value = temp_ = Masked(bus_.In(absolute, width), width);
        return win32::kSuccess;
    }

    Status Out(uint32_t port, uint32_t width, uint32_t value)
    {
        uint32_t absolute = 0;
        if (!ValidWidth(width))
            return win32::kInvalidParameter;
        if (!ResolvePort(device_, port, width, &absolute))
            return win32::kAccessDenied;
        bus_.Out(absolute, width, Masked(value, width));
        return win32::kSuccess;
    }

    bool Step() { return ++steps_ <= cap_; }

    Status PortOp(uint8_t* op, uint32_t code)
    {
        const uint32_t width = code & 0x0F, port = GetWord(op, 1);
        if (code > 0xFF || !ValidWidth(width))
            return win32::kInvalidParameter;
        uint32_t value = 0;
        switch (code & 0xF0) {
        case kOpIn:
            if (Status s = In(port, width, &value))
                return s;
            PutWord(op, 2, value);
            return win32::kSuccess;
        case kOpOut:
            return Out(port, width, GetWord(op, 2));
        case kOpBufIn:
            if (uint64_t(cursor_) + width > extra_)
                return win32::kInsufficientBuffer;
            if (Status s = In(port, width, &value))
                return s;
            std::memcpy(data_ + cursor_, &value, width);
            cursor_ += width;
            return win32::kSuccess;
        case kOpBufOut:
            if (uint64_t(cursor_) + width > extra_)
                return win32::kInsufficientBuffer;
            std::memcpy(&value, data_ + cursor_, width);
            cursor_ += width;
            return Out(port, width, value);
        default:
            return win32::kInvalidParameter;
        }
    }

    Status Poll(uint8_t* op, bool whileEqual)
    {
        const uint32_t port = GetWord(op, 1), failOnLimit = GetWord(op, 2), mask = GetWord(op, 3),
                       width = GetWord(op, 4), limit = GetWord(op, 5), value = GetWord(op, 6);
        for (uint32_t polls = 1;; ++polls) {
            if (!Step())
                return win32::kTimeout;
            uint32_t read = 0;
            if (Status s = In(port, width, &read))
                return s;
            bool holds = whileEqual ? (read & mask) == value : (read & mask) != 0;
            if (!holds)
                return win32::kSuccess;
            if (limit != 0 && polls >= limit)
                return failOnLimit ? win32::kTimeout : win32::kSuccess;
        }
    }

    uint32_t LoopStart(uint32_t pc) const
    {
        for (uint32_t i = pc; i-- > 0;)
            if (GetWord(queue_.data() + OpOffset(i), 0) == kOpLoopBack)
                return i + 1;
        return 0;
    }

    uint32_t AfterNextLoopBack(uint32_t pc) const
    {
        for (uint32_t i = pc + 1; i < count_; ++i)
            if (GetWord(queue_.data() + OpOffset(i), 0) == kOpLoopBack)
                return i + 1;
        return count_;
    }

    Status FlowOp(uint8_t* op, uint32_t code, uint32_t* pc)
    {
        switch (code) {
        case kOpAndTemp:
            temp_ &= GetWord(op, 1);
            break;
        case kOpOrTemp:
            temp_ |= GetWord(op, 1);
            break;
        case kOpWhileInpAnd:
        case kOpWhileInpEqual:
            if (Status s = Poll(op, code == kOpWhileInpEqual))
                return s;
            break;
        case kOpLoopBack:
            if (!Step())
                return win32::kTimeout;
            *pc = LoopStart(*pc);
            return win32::kSuccess;
        case kOpBreakIfAnd:
            if ((temp_ & GetWord(op, 1)) == GetWord(op, 2)) {
                *pc = AfterNextLoopBack(*pc);
                return win32::kSuccess;
            }
            break;
        default:
            return win32::kInvalidParameter;
        }
        ++*pc;
        return win32::kSuccess;
    }

    IoBus& bus_;
    Device& device_;
    uint32_t cap_;
    std::vector<uint8_t>& queue_;
    uint32_t count_ = 0;
    uint8_t* data_ = nullptr;
    uint32_t extra_ = 0;
    uint32_t cursor_ = 0;
    uint32_t temp_ = 0;
    uint32_t steps_ = 0;
};

} // namespace

Status ExecuteQueue(Driver::State& s, Device& d, Request& r)
{
    if (r.inLength < kQueueHeaderSize || GetWord(r.in, kHeaderVersion / 4) != kQueueVersion)
        return win32::kInvalidParameter;
    const uint32_t count = GetWord(r.in, kHeaderCount / 4),
                   capacity = GetWord(r.in, kHeaderCapacity / 4);
    const uint64_t total = DataAreaOffset(capacity) + GetWord(r.in, kHeaderExtra / 4);
    if (count > capacity || total > r.inLength || total > r.outLength)
        return win32::kInvalidParameter;
    std::vector<uint8_t> queue(r.in, r.in + total);
    if (Status status = Interpreter(s, d, queue).Run())
        return status;
    std::memcpy(r.out, queue.data(), total);
    r.returned = static_cast<uint32_t>(total);
    return win32::kSuccess;
}

} // namespace qdriver
