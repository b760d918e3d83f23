#pragma once
// A hierarchical key/value store with the Win32 registry's conventions:
// predefined root keys, key handles, case-insensitive key and value names,
// typed values and the Win32 status numbers as answers. It lives in memory
// (tests) or is backed by a text file that is replaced atomically on flush.
//
// Several stores may share one file: other processes, or other Registry
// objects of this one. A file-backed store records each change it makes (key
// created, key deleted, value set, value deleted) by key path. Flush takes an
// exclusive advisory lock (flock) on the file, waiting kSaveLockWait at most
// for a store that holds it (a slow, hung or stopped process) before it fails
// with kRegistryIoFailed and keeps its changes for the next flush. It then
// reads the file again, replays the recorded changes in their order on what
// it read, replaces the file (temporary file, fsync, rename) and then holds the
// merged tree itself; open handles stay valid. Replaying:
// - a created key, and the key of a set value, is created with its missing
//   parents, even when another store deleted it meanwhile;
// - a deleted value or key that is already gone stays gone;
// - a deleted key that has gained subkeys in the file meanwhile is kept.
// So the changes of different stores to different keys and values all
// survive; on one value the store that flushes last wins. A store sees what
// others wrote when it flushes, not before.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <clock/clock.h>
#include <registry/export.h>
#include <registry/win32_error.h>

namespace registry {

using HKEY = uint32_t;
using win32::Status;

inline constexpr HKEY kClassesRoot = 0x80000000u;
inline constexpr HKEY kCurrentUser = 0x80000001u;
inline constexpr HKEY kLocalMachine = 0x80000002u;

inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeySetValue = 0x0002;
inline constexpr uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr uint32_t kKeyRead = 0x20019;
inline constexpr uint32_t kKeyWrite = 0x20006;
inline constexpr uint32_t kKeyAllAccess = 0xF003F;

/// How long a save waits for the file's lock.
inline constexpr std::chrono::seconds kSaveLockWait{5};

enum class ValueType : uint32_t { None = 0, Sz = 1, ExpandSz = 2, Binary = 3, Dword = 4 };

class Registry {
public:
    struct Node;
    struct Change;
    /// Where a key lies: its root and its key names below that root.
    struct KeyPath {
        HKEY root = 0;
        std::vector<std::string> names;
    };

    /// An empty registry that lives only in memory.
    REGISTRY_API static std::shared_ptr<Registry> InMemory();
    /// A registry loaded from `path` (empty when the file does not exist yet) and
    /// merged back there by Flush and on destruction when it changed. Waits for
    /// the file's lock are measured and slept on `clock`, which outlives the store.
    REGISTRY_API static std::shared_ptr<Registry>
    FromFile(std::filesystem::path path, ondula::Clock& clock = ondula::SteadyClock());

    REGISTRY_API ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    /// Opens `path` below `parent`, creating the missing keys (parent handle needs
    /// create access for that). `created` tells whether the last key was new.
    REGISTRY_API Status CreateKey(HKEY parent, std::string_view path, uint32_t access, HKEY* result,
                                  bool* created = nullptr);
    /// Opens an existing key; kFileNotFound when any part of `path` is missing.
    REGISTRY_API Status OpenKey(HKEY parent, std::string_view path, uint32_t access, HKEY* result);
    /// Releases a handle; the predefined roots need no closing.
    REGISTRY_API Status CloseKey(HKEY key);
    /// Deletes the key `path` below `parent`; a key that still has subkeys is
    /// refused with kAccessDenied. Open handles to it answer kKeyDeleted.
    REGISTRY_API Status DeleteKey(HKEY parent, std::string_view path);

    /// Stores a value (replacing one of the same name in any letter case).
    REGISTRY_API Status SetValue(HKEY key, std::string_view name, ValueType type, const void* data,
                                 uint32_t size);
    REGISTRY_API Status SetDword(HKEY key, std::string_view name, uint32_t value);
    /// Stores a text with its terminating zero as kSz or kExpandSz.
    REGISTRY_API Status SetString(HKEY key, std::string_view name, ValueType type,
                                  std::string_view text);
    /// Reads a value. With `data` null only the size is reported; a buffer smaller
    /// than the value answers kMoreData with the needed size in `*size`.
    REGISTRY_API Status QueryValue(HKEY key, std::string_view name, ValueType* type, void* data,
                                   uint32_t* size);
    /// Reads a value of exactly four bytes into `value`.
    REGISTRY_API Status QueryDword(HKEY key, std::string_view name, uint32_t* value);
    REGISTRY_API Status DeleteValue(HKEY key, std::string_view name);

    /// Name of the index-th subkey (sorted without regard to case). `*chars` is the
    /// buffer size in characters with room for the zero; on return the length
    /// without it. kMoreData when the name does not fit, kNoMoreItems past the end.
    REGISTRY_API Status EnumKey(HKEY key, uint32_t index, char* name, uint32_t* chars);

    /// Merges this store's changes into its file as described above; nothing for
    /// a memory registry or when nothing changed since the last flush.
    REGISTRY_API Status Flush(HKEY key);

    /// Makes the next `count` stores of the value `name` fail with `error`.
    REGISTRY_API void InjectSetValueFailure(std::string_view name, Status error, int count = 1);

private:
    struct OpenHandle {
        std::shared_ptr<Node> node;
        uint32_t access;
        KeyPath where;
    };
    Registry(std::filesystem::path path, ondula::Clock& clock);
    Status Resolve(HKEY key, uint32_t needed, std::shared_ptr<Node>* node,
                   KeyPath* where = nullptr) const;
    HKEY NewHandle(std::shared_ptr<Node> node, uint32_t access, KeyPath where);
    void Record(Change change);
    Status SaveLocked();

    mutable std::mutex mutex_;
    std::filesystem::path path_;
    ondula::Clock* clock_;
    std::map<HKEY, std::shared_ptr<Node>> roots_;
    std::map<HKEY, OpenHandle> handles_;
    HKEY nextHandle_ = 0x100;
    std::vector<Change> journal_; // changes not yet in the file
    struct InjectedFailure {
        Status error;
        int count;
    };
    std::map<std::string, InjectedFailure> failures_;
};

/// The registry of this process: the one given to UseSystem, else a file-backed
/// registry at DefaultRegistryPath().
REGISTRY_API std::shared_ptr<Registry> System();
/// Replaces the registry of this process (tests give an in-memory one).
REGISTRY_API void UseSystem(std::shared_ptr<Registry> registry);
/// $ONDULA_REGISTRY, else $XDG_CONFIG_HOME/ondula/registry, else
/// ~/.config/ondula/registry.
REGISTRY_API std::filesystem::path DefaultRegistryPath();

} // namespace registry
