// DigCommandPacket: the accessor of a digitizer command packet. Its virtual
// operations keep the board library's slot order (slot in the comment); the two
// layouts, 700 and 610, give the same roles over their own storage. Parameter
// values are read only when they lie wholly inside the packet: a getter answers
// 0 and an address getter null otherwise. Setters answer false when refused.
#pragma once

#include <cstddef>
#include <cstdint>

#include <dvl/dvl.h>

namespace digdec {

class DigCommandPacket {
public:
    virtual ~DigCommandPacket(); // 0 destroy

    // Setters: on layout 700, i equal to the count appends, a lower i overwrites
    // the value (never more bytes than the parameter holds); layout 610 writes slot i.
    virtual bool SetIntFlag1(int i, int32_t value);                 // 1  kind 2, flag 1
    virtual uint32_t Value(int i) const;                            // 2
    virtual bool SetIntFlag2(int i, int32_t value);                 // 3  kind 2, flag 2
    virtual uint32_t UnsignedValue(int i) const;                    // 4
    virtual bool SetIntFlags(int i, int32_t value, uint16_t flags); // 5  kind 2, given flags
    virtual uint32_t WordValue(int i) const;                        // 6
    virtual bool SetWord(int i, uint32_t value);                    // 7  kind 0
    virtual int32_t IntValue(int i) const;                          // 8  integer view
    virtual bool SetPair(int i, int32_t first, int32_t second);     // 9  kind 4
    virtual DvlText TextValue(int i) const;             // 10 text view (a DvlText handle)
    virtual bool SetPoint(int i, int32_t x, int32_t y); // 11 kind 1
    virtual double RealValue(int i) const;              // 12
    virtual bool SetReal(int i, double value);          // 13 kind 3 (8 bytes)
    virtual uint64_t WideValue(int i) const;            // 14
    virtual uint32_t SecondWord(int i) const;           // 15
    virtual std::byte* ValueAddress(int i);             // 16
    virtual std::byte* WordAddress(int i);              // 17
    virtual std::byte* PairAddress(int i);              // 18
    virtual std::byte* IntAddress(int i);               // 19 integer view
    virtual std::byte* RealAddress(int i);              // 20
    virtual std::byte* WideAddress(int i);              // 21
    virtual std::byte* TextAddress(int i);              // 22
    virtual bool SetWord9(int i, uint32_t value);       // 23 kind 9
    virtual bool SetCounted(int i, uint32_t value, uint32_t count); // 24 kind 10 (stores count x 4)
    virtual bool SetText(int i, DvlText text);                      // 25 kind 5
    virtual bool SetWord6(int i, uint32_t value);                   // 26 kind 6
    virtual bool SetWide(int i, uint64_t value);                    // 27 kind 7

    // Empties the packet and prepares it for `count` parameters.
    virtual bool Reset(int count) = 0;              // 28
    virtual int Count() const = 0;                  // 29
    virtual bool SetExtraCount(int count) = 0;      // 30
    virtual int ExtraCount() const = 0;             // 31
    virtual int ParamCount() const;                 // 32 same as 29
    virtual void SetWordA(uint32_t value);          // 33
    virtual uint32_t WordA() const;                 // 34
    virtual void SetWordC(uint32_t value);          // 35
    virtual uint32_t WordC() const;                 // 36
    virtual void SetCode(uint32_t value);           // 37
    virtual uint32_t Code() const;                  // 38
    virtual void SetWordB(uint32_t value);          // 39
    virtual uint32_t WordB() const;                 // 40
    virtual void SetVersion(int16_t version) = 0;   // 41
    virtual int16_t Version() const = 0;            // 42
    virtual uint16_t Kind(int i) const = 0;         // 43 0 when absent
    virtual uint16_t Flags(int i) const = 0;        // 44
    virtual std::byte* Address() = 0;               // 45 what the generic module gets
    virtual uint32_t TotalSize() const = 0;         // 46
    virtual bool CodeFlag16() const = 0;            // 47
    virtual bool CodeFlag17() const = 0;            // 48
    virtual std::byte* MainSlotAddress(int i) = 0;  // 49
    virtual std::byte* ExtraSlotAddress(int i) = 0; // 50

    const std::byte* Bytes() const { return const_cast<DigCommandPacket*>(this)->Address(); }

protected:
    enum HeaderWord { kWordA, kCode, kWordB, kWordC };

    // Where a header word lies from Address().
    virtual std::size_t WordOffset(HeaderWord word) const = 0;

    // The value of parameter i when at least `need` of its bytes lie inside the
    // packet, else null.
    virtual std::byte* ValueAt(int i, std::size_t need) = 0;
    const std::byte* ValueIn(int i, std::size_t need) const
    {
        return const_cast<DigCommandPacket*>(this)->ValueAt(i, need);
    }

    // Writes `size` bytes of `value` as parameter i of `kind` with `flags`.
    virtual bool Put(int i, uint16_t kind, uint16_t flags, const void* value, std::size_t size) = 0;

private:
    uint32_t HeaderValue(HeaderWord word) const;
    void SetHeaderValue(HeaderWord word, uint32_t value);
    template <typename T> T Read(int i, std::size_t offset = 0) const;
};

} // namespace digdec
