// How the game sees the paths of its files, in one place: which files are
// its archives, which files of a mod it reads out of archives, which only
// from its own folder, in which order it loads archives, and which names it
// never reads.
//
// Paths here are game paths: relative to the game folder (or a mod's root),
// with "\" between folders.
#pragma once

#include <string>
#include <string_view>

namespace tavrel {

// The game's key for a path inside an archive, as the game compares them:
// ASCII letters in lower case (no other letter folds), the parts split on
// "\" and "/" and joined by "\", empty parts skipped ("\Data//INI\" is
// "data\ini").
std::string GamePathKey(std::string_view path);
// A path out of an archive or a folder as a game path: "\" between its
// parts, none that is empty, "." or "..", and the characters no Windows
// file name may hold made "_". Empty when nothing is left.
std::string CleanGamePath(std::string_view path);

// A game path with the system's separator between its parts, relative to
// the game folder, and back.
std::string NativeGamePath(std::string_view gamePath);
std::string GamePathOf(std::string_view nativePath);

// True when archive path `a` loads before `b`: compared without regard to
// case, where the blank comes first, then "!", digits, "_" and letters.
bool LoadsBefore(std::string_view a, std::string_view b);

// True for a mod's file name: a name before ".big", in any letter case.
bool IsModName(std::string_view fileName);
// True for a game archive's file name: ".big", or ".gib" (an archive that
// some mods ship so that the game skips it until it is renamed).
bool IsModArchiveName(std::string_view fileName);

// The name in the game folder of an add-on's archive while the add-on is
// on, from its author's name: "_!" before it, ".gib" made ".big". It loads
// before every mod's "__" archive (the "!" sorts before "_"), keeps its
// authors' order against the other add-ons' (they share the "_!"), is no
// active mod's "__*.big", and no archive of the game's own starts so.
std::string AddOnArchiveName(std::string_view authorName);
// True for such a name, in any letter case.
bool IsAddOnArchiveName(std::string_view fileName);

// True for one of the game's own top folders: Data, Art, Window, Maps,
// Shaders, in any letter case.
bool IsGameFolderName(std::string_view name);

// What a mod's file other than its archives is to the game.
enum class LooseKind {
    GameFile,   // read out of archives too: merged into the mod's archive
    Companion,  // read only from the game folder: kept beside the mod, put in place while it is active
    Both,       // a script: merged, and kept beside the mod as well
    LeftOut,    // never read by the game, or never installed (programs and libraries)
};

// A file below a mod's root: a game file lies under one of the game's own
// top folders (Data, Art, Window, Maps, Shaders). Bink movies (.bik) there
// and Install_Final.bmp at the top are companions, as are the scripts of
// Data\Scripts (*.scb, Scripts.ini), which stay game files too. Programs
// and libraries, archives of other kinds and every other file at the top
// are left out.
LooseKind ClassifyModFile(std::string_view path);

// True for a path the game reads only from its own folder (a companion,
// scripts included).
bool IsCompanionPath(std::string_view path);

// The name a loose file of the game takes while an active mod stands in its
// place: its own name with ".tavrel" after it (then ".tavrel2", ...), an
// extension that the game lists under no pattern, by its long name or by
// the 8.3 short name Windows gives it (SKIRMI~1.TAV).
std::string SetAsideName(const std::string& name, int attempt = 1);

}  // namespace tavrel
