// Replays every file of the given folders (or the given files) through the fuzz
// entry, so the corpus of awkward inputs runs as an ordinary test. A folder or
// file that is missing, or a folder without a file, fails the replay: a corpus
// that is not there must not pass as one empty input.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static void replay(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// Number of inputs replayed from `arg`.
static int replayAll(const std::filesystem::path& arg)
{
    if (std::filesystem::is_regular_file(arg)) {
        replay(arg);
        return 1;
    }
    int count = 0;
    if (std::filesystem::is_directory(arg))
        for (const auto& entry : std::filesystem::recursive_directory_iterator(arg))
            if (entry.is_regular_file()) {
                replay(entry.path());
                ++count;
            }
    return count;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "no corpus given\n");
        return 1;
    }
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const int replayed = replayAll(argv[i]);
        if (replayed == 0) {
            std::fprintf(stderr, "no input in corpus %s\n", argv[i]);
            return 1;
        }
        count += replayed;
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
