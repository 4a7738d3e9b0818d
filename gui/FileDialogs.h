// The system's file dialogs, kept inside the screen's work area. GTK's file chooser takes the
// size it remembered from its last use (GSettings' org.gtk.Settings.FileChooser window-size,
// which may come from a larger screen) or one made from its font (60 by 45 characters), and
// either can be taller than a small laptop's screen.
#pragma once

#include <wx/filedlg.h>

namespace orvenna {

// Gives `dialog`, not yet shown, a size that fits the work area of its parent's display
// beside the window manager's frame, where the size it would take does not. Call before
// ShowModal().
void fitFileDialog(wxFileDialog& dialog);

}  // namespace orvenna
