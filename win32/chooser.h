// The window in which the user picks one mod out of an archive that holds
// several, built from ChooserLayout(), modal over its owner.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "win32/form_window.h"
#include "win32/message_loop.h"

namespace tavrel {

class ArchiveChooser : public FormWindow {
public:
    // Made with `rows` in its list and the first selected, centred on
    // `owner` and shown; the owner takes no input until it has gone.
    ArchiveChooser(HINSTANCE instance, HWND owner, const std::vector<std::string>& rows);
    ~ArchiveChooser() override;

    // Waits for the answer: the row chosen (OK, Enter, a double click), or
    // nothing (Cancel, Escape, closed).
    std::optional<std::size_t> run();

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void answer(bool chosen);

    OwnerBlocked blocked_;
    bool done_ = false;
    std::optional<std::size_t> chosen_;
};

}  // namespace tavrel
