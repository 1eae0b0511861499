#include "game/game_paths.h"

#include <algorithm>
#include <iterator>

#include "support/path_rules.h"
#include "support/text.h"

namespace tavrel {
namespace {

char GameKeyChar(char c) {
    if (c == '/') return '\\';
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Extension(std::string_view name) {
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string() : FoldCase(name.substr(dot + 1));
}

// Files the game never reads, which a mod ships for its launcher or its
// player: nothing Tavrel would put in the game folder.
bool NeverInstalled(std::string_view ext) {
    static const char* const kPrograms[] = {"exe", "dll", "asi", "com", "bat", "cmd", "msi", "lnk",
                                            "url", "scr", "sys", "zip", "7z",  "rar"};
    return std::any_of(std::begin(kPrograms), std::end(kPrograms), [&](const char* e) { return ext == e; });
}

}  // namespace

std::string GamePathKey(std::string_view path) {
    std::string key;
    key.reserve(path.size());
    bool partStarted = false;
    for (const char c : path) {
        const char k = GameKeyChar(c);
        if (k == '\\') {
            partStarted = false;  // an empty part is no part: "Data//INI" is "data\ini"
            continue;
        }
        if (!partStarted && !key.empty()) key += '\\';
        partStarted = true;
        key += k;
    }
    return key;
}

std::string CleanGamePath(std::string_view path) {
    std::string clean, part;
    const auto flush = [&]() {
        if (!part.empty() && part != "." && part != "..") {
            if (!clean.empty()) clean += '\\';
            clean += WithAllowedNameChars(part);
        }
        part.clear();
    };
    for (const char c : path) {
        if (c == '/' || c == '\\') flush();
        else part += c;
    }
    flush();
    return clean;
}

std::string NativeGamePath(std::string_view gamePath) {
    std::string out(gamePath);
    std::replace(out.begin(), out.end(), '\\', kNativeSeparator);
    return out;
}

std::string GamePathOf(std::string_view nativePath) {
    std::string out(nativePath);
    std::replace(out.begin(), out.end(), kNativeSeparator, '\\');
    return out;
}

bool LoadsBefore(std::string_view a, std::string_view b) {
    // Lower case first, then bytes: so " " < "!" < digits < "_" < letters.
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(GameKeyChar(x)) < static_cast<unsigned char>(GameKeyChar(y));
    });
}

bool IsModName(std::string_view fileName) {
    constexpr std::string_view kExtension = ".big";
    return fileName.size() > kExtension.size() && EndsWithNoCase(fileName, kExtension);
}

bool IsModArchiveName(std::string_view fileName) {
    return IsModName(fileName) || (fileName.size() > 4 && EndsWithNoCase(fileName, ".gib"));
}

constexpr std::string_view kAddOnPrefix = "_!";

std::string AddOnArchiveName(std::string_view authorName) {
    std::string name(kAddOnPrefix);
    name += authorName;
    if (EndsWithNoCase(name, ".gib")) name.replace(name.size() - 4, 4, ".big");
    return name;
}

bool IsAddOnArchiveName(std::string_view fileName) {
    return IsModName(fileName) && fileName.size() > kAddOnPrefix.size() + 4 && fileName.starts_with(kAddOnPrefix);
}

bool IsGameFolderName(std::string_view name) {
    for (const char* known : {"data", "art", "window", "maps", "shaders"}) {
        if (GamePathKey(name) == known) return true;
    }
    return false;
}

LooseKind ClassifyModFile(std::string_view path) {
    const std::string key = GamePathKey(path);
    const std::string name = FileGetName(key, '\\');
    const std::string ext = Extension(name);
    if (NeverInstalled(ext)) return LooseKind::LeftOut;
    const std::size_t cut = key.find('\\');
    if (cut == std::string::npos) return name == "install_final.bmp" ? LooseKind::Companion : LooseKind::LeftOut;
    if (!IsGameFolderName(std::string_view(key).substr(0, cut))) return LooseKind::LeftOut;
    if (ext == "bik") return LooseKind::Companion;
    if (ParentFolder(key, '\\') == "data\\scripts" && (ext == "scb" || name == "scripts.ini")) return LooseKind::Both;
    return LooseKind::GameFile;
}

bool IsCompanionPath(std::string_view path) {
    const LooseKind kind = ClassifyModFile(path);
    return kind == LooseKind::Companion || kind == LooseKind::Both;
}

std::string SetAsideName(const std::string& name, int attempt) {
    return name + ".tavrel" + (attempt > 1 ? std::to_string(attempt) : std::string());
}

}  // namespace tavrel
