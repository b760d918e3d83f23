// Native and file transfers.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "dsm.h"
#include "transfer.h"

namespace vfgtwain {

namespace {

constexpr size_t kFileHeaderBytes = 14;

// A new empty file of our own in the temporary folder, deleted with its owner.
class TemporaryFile {
public:
    TemporaryFile()
    {
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        if (error)
            return;
        std::string name = (folder / "ondula-twain-XXXXXX.bmp").string();
        const int fd = mkstemps(name.data(), 4);
        if (fd < 0)
            return;
        close(fd);
        path_ = name;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!path_.empty())
            unlink(path_.c_str());
    }

    // Empty when no file could be made.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The bitmap of a bitmap file, after its 14-byte file header, in a new block.
bool ReadBitmapFile(const std::string& path, twain::GlobalBlock* bitmap)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? std::streamoff(in.tellg()) : -1;
    char magic[2] = {};
    if (size < std::streamoff(kFileHeaderBytes) || !in.seekg(0).read(magic, 2) || magic[0] != 'B' ||
        magic[1] != 'M')
        return false;
    bitmap->Reset(twain::GlobalAlloc(size_t(size) - kFileHeaderBytes));
    twain::GlobalLockGuard lock(bitmap->Get());
    return lock.Address() &&
           in.seekg(std::streamoff(kFileHeaderBytes))
               .read(static_cast<char*>(lock.Address()), size - std::streamoff(kFileHeaderBytes));
}

} // namespace

Outcome TransferNative(Transferred* out)
{
    TW_HANDLE handle = nullptr;
    const TW_UINT16 rc = Send(To::Source, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
    out->bitmap.Reset(handle);
    if (rc == TWRC_XFERDONE)
        return Outcome::Image;
    if (rc == TWRC_CANCEL)
        return Outcome::Cancelled;
    const TW_UINT16 cc = ReadCondition(To::Source);
    Print("FGGrab error: DG_IMAGE/DAT_IMAGENATIVEXFER/MSG_GET failed");
    Print(IsKnown(cc, kAnyCondition) ? ConditionText(cc, kAnyCondition)
                                     : "Condition code is: " + std::to_string(cc));
    return Outcome::Failed;
}

Outcome TransferFile(Transferred* out)
{
    TW_SETUPFILEXFER setup{};
    if (Send(To::Source, DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &setup) != TWRC_SUCCESS) {
        ReportFailure("DG_CONTROL/DAT_SETUPFILEXFER/MSG_GET", To::Source, kAnyCondition);
        return Outcome::Failed;
    }
    if (setup.Format != TWFF_BMP) {
        char text[96];
        std::snprintf(text, sizeof text,
                      "File format not supported!\n<SetupMsgGet.Format> returned '%d'.",
                      setup.Format);
        Print(text);
        return Outcome::Failed;
    }
    // Never the file the source names: it may be anything of the user's.
    const TemporaryFile file;
    if (file.Path().empty() || file.Path().size() >= sizeof setup.FileName) {
        Print("Unable to create file for file transfer!");
        return Outcome::Failed;
    }
    std::snprintf(setup.FileName, sizeof setup.FileName, "%s", file.Path().c_str());
    setup.Format = TWFF_BMP;
    if (Send(To::Source, DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup) != TWRC_SUCCESS) {
        ReportFailure("DG_CONTROL/DAT_SETUPFILEXFER/MSG_SET", To::Source, kAnyCondition);
        return Outcome::Failed;
    }
    const TW_UINT16 rc = Send(To::Source, DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
    if (rc == TWRC_CANCEL)
        return Outcome::Cancelled;
    if (rc != TWRC_XFERDONE) {
        ReportFailure("DG_IMAGE/DAT_IMAGEFILEXFER/MSG_GET", To::Source, kAnyCondition);
        return Outcome::Failed;
    }
    if (!ReadBitmapFile(file.Path(), &out->bitmap)) {
        Print("Unable to read the bitmap file of the file transfer!");
        return Outcome::Failed;
    }
    return Outcome::Image;
}

} // namespace vfgtwain
