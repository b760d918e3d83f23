#include "registry_file.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace registry {
namespace {

constexpr std::pair<HKEY, const char*> kRootNames[] = {
    {kClassesRoot, "HKEY_CLASSES_ROOT"},
    {kCurrentUser, "HKEY_CURRENT_USER"},
    {kLocalMachine, "HKEY_LOCAL_MACHINE"},
};

std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + '"';
}

// Reads a quoted text starting at text[pos] == '"'; pos ends after the quote.
bool Unquote(const std::string& text, size_t& pos, std::string& out)
{
    if (pos >= text.size() || text[pos] != '"')
        return false;
    out.clear();
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\') {
            if (++pos >= text.size())
                return false;
            c = text[pos] == 'n' ? '\n' : text[pos];
        }
        out += c;
    }
    return false;
}

bool IsPlainText(const std::vector<uint8_t>& data)
{
    if (data.empty() || data.back() != 0)
        return false;
    return std::memchr(data.data(), 0, data.size() - 1) == nullptr;
}

void WriteValue(std::ostringstream& out, const Value& value)
{
    out << (value.name.empty() ? std::string("@") : Quoted(value.name)) << '=';
    const auto& d = value.data;
    if (value.type == ValueType::Dword && d.size() == 4) {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x",
                      d[0] | d[1] << 8 | d[2] << 16 | unsigned(d[3]) << 24);
        out << "dword:" << hex;
    } else if ((value.type == ValueType::Sz || value.type == ValueType::ExpandSz) &&
               IsPlainText(d)) {
        out << (value.type == ValueType::Sz ? "sz:" : "expand:")
            << Quoted(std::string_view(reinterpret_cast<const char*>(d.data()), d.size() - 1));
    } else {
        out << "hex(" << static_cast<uint32_t>(value.type) << "):";
        for (size_t i = 0; i < d.size(); ++i) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02x", d[i]);
            out << (i ? "," : "") << hex;
        }
    }
    out << '\n';
}

// Writes the keys below and including `root`, depth first without recursion.
// A key that has subkeys and no values needs no line of its own: its
// subkeys' lines make it again, so every path is written once at most.
void WriteTree(std::ostringstream& out, const char* rootName, const Registry::Node& root)
{
    using Child = std::map<std::string, std::shared_ptr<Registry::Node>>::const_iterator;
    struct Level {
        const Registry::Node* node;
        Child next;
        size_t pathLength; // of `path` before this key's name was added
    };
    std::string path = rootName;
    std::vector<Level> levels = {{&root, root.children.begin(), 0}};
    auto enter = [&](const Registry::Node& node) {
        if (!node.values.empty() || node.children.empty()) {
            out << '[' << path << "]\n";
            for (const auto& [folded, value] : node.values)
                WriteValue(out, value);
        }
    };
    enter(root);
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.node->children.end()) {
            path.resize(level.pathLength);
            levels.pop_back();
            continue;
        }
        const Registry::Node& child = *(level.next++)->second;
        const size_t length = path.size();
        path += '\\';
        path += child.name;
        enter(child);
        levels.push_back({&child, child.children.begin(), length});
    }
}

bool ParseHexBytes(std::string_view text, std::vector<uint8_t>& out)
{
    out.clear();
    while (!text.empty()) {
        if (text.size() < 2)
            return false;
        unsigned byte = 0;
        if (std::sscanf(std::string(text.substr(0, 2)).c_str(), "%2x", &byte) != 1)
            return false;
        out.push_back(static_cast<uint8_t>(byte));
        text.remove_prefix(2);
        if (!text.empty()) {
            if (text.front() != ',')
                return false;
            text.remove_prefix(1);
        }
    }
    return true;
}

bool ParseValue(const std::string& line, Value& value)
{
    size_t pos = 0;
    if (line[0] == '@') {
        value.name.clear();
        pos = 1;
    } else if (!Unquote(line, pos, value.name)) {
        return false;
    }
    if (pos >= line.size() || line[pos] != '=')
        return false;
    std::string_view rest = std::string_view(line).substr(pos + 1);
    std::string text;
    if (rest.starts_with("dword:")) {
        unsigned long v = 0;
        char tail = 0;
        if (rest.size() != 14 || std::sscanf(line.c_str() + pos + 7, "%8lx%c", &v, &tail) != 1)
            return false;
        value.type = ValueType::Dword;
        value.data = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        return true;
    }
    for (auto [prefix, type] :
         {std::pair{"sz:", ValueType::Sz}, {"expand:", ValueType::ExpandSz}}) {
        if (!rest.starts_with(prefix))
            continue;
        size_t start = pos + 1 + std::strlen(prefix);
        if (!Unquote(line, start, text) || start != line.size())
            return false;
        value.type = type;
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
        return true;
    }
    unsigned type = 0;
    int used = 0;
    if (std::sscanf(line.c_str() + pos + 1, "hex(%u):%n", &type, &used) != 1 || used == 0)
        return false;
    value.type = static_cast<ValueType>(type);
    return ParseHexBytes(std::string_view(line).substr(pos + 1 + used), value.data);
}

// The key a "[path]" line names, made with its missing parents; null for a
// path that names no key, with why in `refusal` when it breaks a limit.
std::shared_ptr<Registry::Node> KeyForPath(std::string_view path, RootMap& roots,
                                           std::string* refusal)
{
    size_t slash = path.find('\\');
    std::shared_ptr<Registry::Node> node;
    for (auto [hkey, name] : kRootNames)
        if (path.substr(0, slash) == name)
            node = roots.at(hkey);
    if (!node)
        return nullptr;
    std::vector<std::string_view> parts;
    while (slash != std::string_view::npos) {
        path.remove_prefix(slash + 1);
        slash = path.find('\\');
        parts.push_back(path.substr(0, slash));
        if (parts.back().empty())
            return nullptr;
        if (parts.back().size() > kMaxKeyNameLength) {
            *refusal = "key name longer than " + std::to_string(kMaxKeyNameLength) + " characters";
            return nullptr;
        }
        if (parts.size() > kMaxKeyDepth) {
            *refusal = "key deeper than " + std::to_string(kMaxKeyDepth) + " levels";
            return nullptr;
        }
    }
    for (std::string_view part : parts) {
        auto& child = node->children[Folded(part)];
        if (!child) {
            child = std::make_shared<Registry::Node>();
            child->name = part;
        }
        node = child;
    }
    return node;
}

} // namespace

RootMap EmptyRoots()
{
    RootMap roots;
    for (auto [hkey, name] : kRootNames)
        roots[hkey] = std::make_shared<Registry::Node>();
    return roots;
}

std::string WriteRegistryText(const RootMap& roots)
{
    std::ostringstream out;
    out << "; Ondula registry\n";
    for (auto [hkey, name] : kRootNames)
        WriteTree(out, name, *roots.at(hkey));
    return out.str();
}

void ReadRegistryText(const std::string& text, RootMap& roots, const std::string& source)
{
    std::istringstream in(text);
    std::string line;
    std::shared_ptr<Registry::Node> key;
    for (size_t number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            std::string refusal;
            key = line.back() == ']' ? KeyForPath(std::string_view(line).substr(1, line.size() - 2),
                                                  roots, &refusal)
                                     : nullptr;
            if (!refusal.empty())
                std::fprintf(stderr, "%s:%zu: %s: key ignored\n", source.c_str(), number,
                             refusal.c_str());
            continue;
        }
        Value value;
        if (key && ParseValue(line, value))
            key->values[Folded(value.name)] = std::move(value);
    }
}

} // namespace registry
