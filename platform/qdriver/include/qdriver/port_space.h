#pragma once
// The simulated machine's I/O bus: device models claim port ranges and answer
// port reads and writes at offsets from their base. Ports nobody claims float
// high (read as all ones) and ignore writes, as on an ISA bus. Models signal
// interrupts on the bus's interrupt lines, which the driver listens to.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <qdriver/export.h>

namespace qdriver {

class PortSpace {
public:
    virtual ~PortSpace() = default;
    /// Reads `width` bytes (1, 2 or 4) at `offset`.
    virtual uint32_t In(uint32_t offset, uint32_t width) = 0;
    /// Writes the low `width` bytes of `value` at `offset`.
    virtual void Out(uint32_t offset, uint32_t width, uint32_t value) = 0;
};

class QDRIVER_API IoBus {
public:
    /// Places a model at ports [base, base + count); false when that overlaps a
    /// model already attached or the range is empty.
    bool Attach(uint32_t base, uint32_t count, std::shared_ptr<PortSpace> model);
    /// Reads `width` bytes at absolute `port`; an access that does not lie in one
    /// model is made of byte accesses.
    uint32_t In(uint32_t port, uint32_t width);
    void Out(uint32_t port, uint32_t width, uint32_t value);

    /// Signals interrupt line `level`; models may call it from inside a port access.
    void RaiseInterrupt(uint32_t level);
    /// Who hears the interrupt lines (the driver), replacing any earlier listener.
    void SetInterruptHandler(const void* owner, std::function<void(uint32_t level)> handler);
    /// Detaches the listener when it is still the one `owner` set, then waits
    /// until no other thread is inside a handler that `owner` set, so that the
    /// owner may go.
    void RemoveInterruptHandler(const void* owner);

private:
    struct Slot {
        uint32_t count;
        std::shared_ptr<PortSpace> model;
    };
    const std::pair<const uint32_t, Slot>* Find(uint32_t port, uint32_t width) const;
    void EndDelivery();

    std::mutex mutex_;
    std::map<uint32_t, Slot> slots_;

    struct Delivery {
        const void* owner; // who set the handler being called
        std::thread::id thread;
    };
    std::mutex handlerMutex_;
    std::condition_variable deliveryEnded_;
    const void* handlerOwner_ = nullptr;
    std::function<void(uint32_t)> interruptHandler_;
    std::vector<Delivery> deliveries_; // handler calls under way
};

} // namespace qdriver
