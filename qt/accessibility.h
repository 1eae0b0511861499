// What screen readers see of the Qt window's own widgets: each label-button
// is a push button named by its caption with a Press action that clicks it
// and its key as accelerator, the tip line a notification spoken at each
// change, every one-line box a text that answers every question about it.
// Decorations are left out. The other widgets keep Qt's own accessibility,
// with the names of the layout data.
#pragma once

class QListWidget;
class QWidget;

namespace tavrel {

// Installs the factory of these interfaces; once is enough, more do nothing.
void InstallAccessibility();

// Tells a screen reader that the text of `live` has changed.
void AnnounceTextChange(QWidget* live);

// Has the list tell a screen reader its current row each time it gets the
// keyboard.
void TellCurrentRowOnFocus(QListWidget* list);

}  // namespace tavrel
