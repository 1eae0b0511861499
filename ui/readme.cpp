#include "ui/readme.h"

#include <stdexcept>
#include <string_view>

#include "ui/main_window_logic.h"
#include "support/file_system.h"
#include "support/platform_native.h"

namespace tavrel {
namespace {

constexpr std::string_view kBody = R"(
Command and Conquer Generals and Generals Zero Hour mod manager

WARNING: close Generals (and Zero Hour) completely before you start Tavrel,
and do not start the game while Tavrel is switching mods. The game reads its
archives when it starts; switching them under a running game can leave it
with half a mod.


What Tavrel does
----------------

Generals loads every .big archive in its install folder, and a mod comes as
one such archive. Tavrel switches mods on and off purely by renaming them:

  __Name.big   the active mod: two underscores in front, extension .big.
               Only one mod is active at a time.
  Name.bit     an inactive mod: the game ignores .bit files.

The game's own archives (.big files without the two underscores, such as
INI.big or Textures.big) are never touched.

When Tavrel finds more than one active mod, it keeps the first one (by name)
and, after asking, renames the others to .bit.


Using it
--------

  Generals Folder     the game's install folder. Type it, or use Browse...
  Zero Hour Mode      tick it when you play Zero Hour. Tavrel asks first and
                      moves to the Zero Hour folder when it lies beside the
                      Generals folder.
  Activate Selected   makes the mod picked in the list the active one; the
                      mod that was active becomes inactive.
  Deactivate All      makes every mod inactive: the plain game.
  Delete Selected     deletes the picked inactive mod's archive for good.
  Install A Mod       copies a .big file from anywhere into the game folder
                      as an inactive mod named __Name.bit, and offers to
                      activate it at once. It takes the .zip, .7z or .rar
                      a mod was downloaded in as well, and installs the
                      .big in it; where there are several, you pick one.

To let Tavrel manage a mod by hand, put its .big file into the game folder
and add two underscores __ to the beginning of the file name.

Tavrel never replaces a mod when it renames one: if a file of the new name
is already there, the rename is refused and you are told why. When a mod
cannot be switched, close the game and anything else that may hold it.

On Linux, with the game under Wine or Proton, letter case in file names does
not matter to Tavrel, just as it does not to the game.

Tavrel keeps two settings, the game folder and the Zero Hour mode: on
Windows in the registry, on Linux in ~/.config/TVL/TVL.conf.


Disclaimer
----------

Tavrel is provided as it is, without any warranty. It renames, copies and
deletes files in the game folder you point it at. Keep copies of mods you
cannot download again.


Change history
--------------

1.1.1   Tavrel for Windows and for Linux (Wine and Proton).
        Mods are installed through a temporary file, so that an install
        that fails or is cancelled never leaves half a mod behind.
        A rename never replaces an existing file.
        The hidden Tools window reports movie files it could not rename.
        Mods are installed straight from .zip, .7z and .rar archives.
1.1     Install A Mod, Delete Selected, Zero Hour mode.
1.0     First version: activate and deactivate mods by renaming them.
)";

}  // namespace

std::string ReadmeText() {
    const std::string text = WindowCaption() + std::string(kBody);
    std::string native;
    for (const char c : text) {
        if (c == '\n') native += kNativeLineEnd;
        else native += c;
    }
    return native;
}

ReadmeFile EnsureReadme(const std::string& programFolder, const std::string& userFolder) {
    ReadmeFile readme{JoinPath(programFolder, "readme.txt"), {}};
    if (FileExists(readme.path)) return readme;
    if (!IsWritableFolder(programFolder)) {
        readme.path = JoinPath(userFolder, "readme.txt");
        if (FileExists(readme.path)) return readme;
        if (const Status made = MakeFolders(userFolder); !made.ok()) {
            readme.error = made.text();
            return readme;
        }
    }
    try {
        FileWriteText(ReadmeText(), readme.path);
    } catch (const std::runtime_error& e) {
        readme.error = e.what();
    }
    return readme;
}

}  // namespace tavrel
