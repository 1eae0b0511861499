#include "support/path_rules.h"

#include <string_view>

#include "support/text.h"

namespace tavrel {

std::string FileChangeExt(const std::string& path, const std::string& extension, char sep) {
    std::string folder;
    std::string name = path;
    const auto lastSep = path.rfind(sep);
    if (!path.empty() && lastSep != std::string::npos && lastSep + 1 < path.size()) {
        folder = path.substr(0, lastSep + 1);
        name = path.substr(lastSep + 1);
    }
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    std::string ext = extension;
    if (!ext.empty() && ext.front() != '.') ext.insert(ext.begin(), '.');
    return folder + name + ext;
}

std::string FileGetFolder(const std::string& path, char sep) {
    if (CharCount(path) > 2 && path.back() == sep) {
        std::string out = path;
        while (!out.empty() && out.back() == sep) out.pop_back();
        return out;
    }
    if (const auto lastSep = path.rfind(sep); lastSep != std::string::npos) {
        return path.substr(0, lastSep);
    }
    return path;
}

std::string ParentFolder(const std::string& path, char sep) {
    const auto pos = path.rfind(sep);
    if (pos == std::string::npos) return ".";
    return pos == 0 ? std::string(1, sep) : path.substr(0, pos);
}

std::string FileGetName(const std::string& path, char sep) {
    if (path.empty() || path.back() == sep) return {};
    const auto lastSep = path.rfind(sep);
    return lastSep == std::string::npos ? path : path.substr(lastSep + 1);
}

std::string FileCleanPath(const std::string& path, char sep) {
    std::string out = path;
    while (CharCount(out) > 2 && out.back() == sep) out.pop_back();
    if (CharCount(out) <= 2) return out;
    const std::size_t keep = ByteOffsetOfChar(out, 2);  // a "\\server" prefix stays intact
    std::string collapsed = out.substr(0, keep);
    for (std::size_t i = keep; i < out.size(); ++i) {
        collapsed += out[i];
        if (out[i] == sep && i + 1 < out.size() && out[i + 1] == sep) ++i;  // pairs, no overlap
    }
    return collapsed;
}

bool IsInsideFolder(const std::string& folder, const std::string& path, char sep) {
    if (folder.empty() || path.compare(0, folder.size(), folder) != 0) return false;
    return path.size() == folder.size() || folder.back() == sep || path[folder.size()] == sep;
}

std::string JoinPath(const std::string& folder, const std::string& name, char sep) {
    return folder + sep + name;
}

std::string UserPathName(const std::string& path) {
    const std::string name = FileGetName(path);
    return kNativeSeparator == '\\' ? FileGetName(name, '/') : name;
}

std::string WithAllowedNameChars(std::string name) {
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    return name;
}

}  // namespace tavrel
