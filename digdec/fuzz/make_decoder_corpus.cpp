// Writes the decoder fuzz target's starting corpus into the folder given as
// argument: well-formed commands 1 and 0x1802 and a few malformed packets.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <dvl/packet.h>

namespace {

void write(const std::filesystem::path& folder, const std::string& name,
           const std::vector<std::byte>& bytes)
{
    std::ofstream out(folder / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

dvl::PacketWriter name_query(int32_t which)
{
    dvl::PacketWriter p(0x1802);
    p.AddInt(40).AddInt(which);
    for (int i = 0; i < 4; ++i)
        p.AddText(0);
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);

    dvl::PacketWriter select(1);
    select.AddInt(0).AddInt(5);
    write(folder, "select", select.bytes());
    write(folder, "name_query_2", name_query(2).bytes());
    write(folder, "name_query_3", name_query(3).bytes());

    dvl::PacketWriter every_kind(0x31802);
    const uint8_t value[8] = {2, 0, 0, 0, 1, 0, 0, 0};
    for (uint16_t kind : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 300, 511})
        every_kind.Add(kind, value, static_cast<uint16_t>(kind % 4));
    write(folder, "every_kind", every_kind.bytes());

    dvl::PacketWriter thirteen(0x1802);
    for (int32_t i = 0; i < 13; ++i)
        thirteen.AddInt(i == 1 ? 2 : i);
    write(folder, "thirteen", thirteen.bytes());

    auto bad_count = select.bytes();
    dvl::Store<int16_t>(bad_count.data() + 2, 9);
    write(folder, "bad_count", bad_count);

    auto bad_kind = name_query(2).bytes();
    dvl::Store<uint16_t>(bad_kind.data() + 24, dvl::MakeDescriptor(300, 0, 0));
    write(folder, "bad_kind", bad_kind);

    auto bad_size = name_query(2).bytes();
    dvl::Store<uint32_t>(bad_size.data() + 4, 0xFFFFFFFF);
    write(folder, "bad_size", bad_size);

    write(folder, "short", std::vector<std::byte>(7, std::byte{0x18}));

    // The older layout's family: version 610, twelve main slots and one extra
    // slot of 8 bytes after the 24-byte header.
    for (uint32_t code : {1u, 0x1802u, 0x11802u}) {
        std::vector<std::byte> slots(dvl::kHeaderSize + 13 * 8);
        dvl::Store<int16_t>(slots.data() + dvl::kVersionOffset, dvl::kLayout610);
        dvl::Store<int16_t>(slots.data() + dvl::kCountOffset, 12);
        dvl::Store<uint32_t>(slots.data() + dvl::kSizeOffset, uint32_t(slots.size()));
        dvl::Store<uint32_t>(slots.data() + dvl::kCodeOffset, code);
        for (int32_t i = 0; i < 13; ++i)
            dvl::Store<int32_t>(slots.data() + dvl::kHeaderSize + 8 * i, i == 1 ? 2 : i);
        write(folder, "layout_610_" + std::to_string(code), slots);
    }
    return 0;
}
