// Writes the corpus of bitmaps the decoder must survive: a bitmap of every
// depth in both row orders, then broken variants of each (cut short, header
// fields overwritten). The first byte of each file is the fuzz target's
// memory-transfer flag. Usage: make_dib_corpus <folder>.
#include <iostream>
#include <string>

#include "tests/support/corpus_folder.h"
#include <twain/simulation.h>

namespace {

using corpus::Bytes;

void Write(const std::filesystem::path& path, uint8_t flag, const Bytes& bitmap)
{
    Bytes file{flag};
    file.insert(file.end(), bitmap.begin(), bitmap.end());
    corpus::Write(path, file);
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path folder = corpus::FolderOf(argc, argv);
    // Header fields to overwrite: offset, size, values.
    struct Field {
        const char* name;
        size_t at;
        int size;
        std::vector<uint32_t> values;
    };
    const Field fields[] = {
        {"header", 0, 4, {0, 39, 41, 0xFFFFFFFF}},
        {"width", 4, 4, {0, 0xFFFFFFFF, 0x7FFFFFFF, 1000}},
        {"height", 8, 4, {0, 0x80000000, 0xFFFFFF00, 1000}},
        {"bits", 14, 2, {0, 2, 4, 8, 16, 32, 48, 64}},
        {"compression", 16, 4, {1, 2, 3, 0xFFFF}},
        {"colours", 32, 4, {1, 300, 0xFFFFFFFF}},
    };
    int count = 0;
    for (const TW_UINT16 bits : {1, 4, 8, 16, 24, 32, 48})
        for (const bool top_down : {false, true}) {
            twsim::Page page;
            page.width = 5;
            page.height = 3;
            page.bits = bits;
            page.pixel_type = bits == 8 ? TWPT_PALETTE : TWPT_RGB;
            page.top_down = top_down;
            const Bytes good = twsim::Bitmap(page);
            const std::string stem = std::to_string(bits) + (top_down ? "-down" : "-up");
            for (const uint8_t flag : {0, 1}) {
                Write(folder / (stem + "-" + std::to_string(flag)), flag, good);
                ++count;
            }
            for (const size_t cut : {1, 4, 20, 41})
                if (cut < good.size()) {
                    Write(folder / (stem + "-cut" + std::to_string(cut)), 0,
                          Bytes(good.begin(), good.end() - long(cut)));
                    ++count;
                }
            for (const Field& field : fields)
                for (const uint32_t value : field.values) {
                    Bytes broken = good;
                    corpus::Put(broken, field.at, value, field.size);
                    Write(folder / (stem + "-" + field.name + std::to_string(value)), 0, broken);
                    ++count;
                }
        }
    std::cout << "wrote " << count << " bitmaps to " << folder.string() << "\n";
    return 0;
}
