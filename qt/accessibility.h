// What screen readers see of the Qt window's own widgets: each label-button
// is a push button named by its caption with a Press action that clicks it,
// and the tip line is a status text that tells when it changes. The
// standard widgets keep Qt's own accessibility, with the names of the
// layout data.
#pragma once

class QWidget;

namespace tavrel {

// Installs the factory of these interfaces; once is enough, more do nothing.
void InstallAccessibility();

// Tells a screen reader that the text of `live` has changed.
void AnnounceTextChange(QWidget* live);

}  // namespace tavrel
