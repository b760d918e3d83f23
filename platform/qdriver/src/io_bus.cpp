#include <qdriver/port_space.h>

#include <algorithm>

namespace qdriver {

bool IoBus::Attach(uint32_t base, uint32_t count, std::shared_ptr<PortSpace> model)
{
    std::lock_guard lock(mutex_);
    if (count == 0 || uint64_t(base) + count > 0x100000000ull)
        return false;
    for (const auto& [start, slot] : slots_)
        if (base < uint64_t(start) + slot.count && start < uint64_t(base) + count)
            return false;
    slots_[base] = {count, std::move(model)};
    return true;
}

const std::pair<const uint32_t, IoBus::Slot>* IoBus::Find(uint32_t port, uint32_t width) const
{
    auto it = slots_.upper_bound(port);
    if (it == slots_.begin())
        return nullptr;
    --it;
    if (uint64_t(port) + width > uint64_t(it->first) + it->second.count)
        return nullptr;
    return &*it;
}

uint32_t IoBus::In(uint32_t port, uint32_t width)
{
    std::lock_guard lock(mutex_);
    if (const auto* slot = Find(port, width))
        return slot->second.model->In(port - slot->first, width);
    uint32_t value = 0;
    for (uint32_t i = 0; i < width; ++i) {
        const auto* byteSlot = Find(port + i, 1);
        uint32_t byte =
            byteSlot ? byteSlot->second.model->In(port + i - byteSlot->first, 1) & 0xFF : 0xFF;
        value |= byte << (8 * i);
    }
    return value;
}

void IoBus::Out(uint32_t port, uint32_t width, uint32_t value)
{
    std::lock_guard lock(mutex_);
    if (const auto* slot = Find(port, width))
        return slot->second.model->Out(port - slot->first, width, value);
    for (uint32_t i = 0; i < width; ++i)
        if (const auto* byteSlot = Find(port + i, 1))
            byteSlot->second.model->Out(port + i - byteSlot->first, 1, (value >> (8 * i)) & 0xFF);
}

void IoBus::RaiseInterrupt(uint32_t level)
{
    std::function<void(uint32_t)> handler;
    {
        std::lock_guard lock(handlerMutex_);
        if (!interruptHandler_)
            return;
        handler = interruptHandler_;
        deliveries_.push_back({handlerOwner_, std::this_thread::get_id()});
    }
    // The handler runs unlocked, since it may raise again or take its owner's
    // locks; an owner that leaves meanwhile waits in RemoveInterruptHandler.
    struct Ended {
        IoBus& bus;
        ~Ended() { bus.EndDelivery(); }
    } ended{*this};
    handler(level);
}

void IoBus::EndDelivery()
{
    std::lock_guard lock(handlerMutex_);
    // Deliveries nest on one thread: its latest is the one ending.
    auto latest = std::find_if(deliveries_.rbegin(), deliveries_.rend(), [](const Delivery& d) {
        return d.thread == std::this_thread::get_id();
    });
    deliveries_.erase(std::next(latest).base());
    deliveryEnded_.notify_all();
}

void IoBus::SetInterruptHandler(const void* owner, std::function<void(uint32_t level)> handler)
{
    std::lock_guard lock(handlerMutex_);
    handlerOwner_ = owner;
    interruptHandler_ = std::move(handler);
}

void IoBus::RemoveInterruptHandler(const void* owner)
{
    std::unique_lock lock(handlerMutex_);
    if (handlerOwner_ == owner) {
        handlerOwner_ = nullptr;
        interruptHandler_ = nullptr;
    }
    // A handler that removes itself is not waited for by its own thread.
    deliveryEnded_.wait(lock, [&] {
        return std::none_of(deliveries_.begin(), deliveries_.end(), [&](const Delivery& d) {
            return d.owner == owner && d.thread != std::this_thread::get_id();
        });
    });
}

} // namespace qdriver
