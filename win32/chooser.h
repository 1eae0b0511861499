// The window in which the user ticks the archives of a mod made of several
// and names the mod, built from ChooserLayout(), modal over its owner.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "modstore/mod_window.h"
#include "win32/form_window.h"
#include "win32/message_loop.h"

namespace tavrel {

class ArchiveChooser : public FormWindow {
public:
    // Made with `rows` in its checklist, every one ticked, and `name` in its
    // name box, centred on `owner` and shown; the owner takes no input until
    // it has gone.
    ArchiveChooser(HINSTANCE instance, HWND owner, const std::vector<std::string>& rows, const std::string& name);
    ~ArchiveChooser() override;

    // Waits for the answer: the rows ticked and the name as typed (OK, or
    // Enter, while ChooserAccepts() holds), or nothing (Cancel, Escape,
    // closed).
    std::optional<ArchiveChoice> run();

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // OK is enabled while the ticks and the name may be taken.
    bool judge();
    void answer(bool chosen);

    OwnerBlocked blocked_;
    bool done_ = false;
    std::optional<ArchiveChoice> chosen_;
};

}  // namespace tavrel
