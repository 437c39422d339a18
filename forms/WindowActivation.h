#pragma once
// Brings a window of ours to the front for a launch of the program elsewhere (a file handed over,
// a second start): restored when minimised, raised and given the focus. Window managers and
// compositors refuse the focus to a window that merely asks; the launch's desktop tokens are what
// makes them grant it. On Wayland the XDG activation token goes with the request (Qt takes it
// from XDG_ACTIVATION_TOKEN). On X11 the time stamp of the startup id goes with a request of our
// own for the active window (Qt's would carry the time of our last input, which is older than the
// user's click), and the launch's startup notification is ended, so the busy pointer stops.
#include "system/HandOverMessage.h"

class QWidget;

void BringToFront(QWidget& window, const ActivationTokens& tokens);
