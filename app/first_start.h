// What the program settles before its windows are made: whether there is a
// display to show them on, and the key store of a first start.
#pragma once

#include <QString>
#include <functional>

#include "cipher/random.h"
#include "keystore/keystore_location.h"

class QWidget;

namespace tazu {

// False, after one line on standard error that says so and points to the
// command line, when no display is known: no DISPLAY or WAYLAND_DISPLAY, no
// QT_QPA_PLATFORM and no -platform argument. Qt would abort instead.
bool DisplayKnown(int argc, char** argv);

// A display that is named but cannot be opened (the X server is gone, no
// permission): Qt would print its plug-in warnings and abort. Between these
// two calls, around the making of the application, the program says so in
// its own one line on standard error instead and ends with status 1.
void GuardDisplayOpening();
void DisplayOpened();

// The settings of a first store: hide passwords while typing, save the
// settings on exit (as tazu16x32-cli keystore-new makes it).
inline constexpr std::uint8_t kFirstStoreSettings = 0x18;

// Makes the first store when there is none anywhere (see MakeFirstKeyStore)
// and returns what the user is to be told about it: where it is and that it
// must be backed up, or why it could not be made. Empty when nothing was to
// be made.
QString PrepareFirstKeyStore(const KeyStoreLocation& location, Random& random);

// Shows the note over the main window once the event loop runs, centred
// over it, then runs then (at once when there is no note).
void ShowFirstStoreNote(QWidget* main_window, const QString& note, std::function<void()> then);

}  // namespace tazu
