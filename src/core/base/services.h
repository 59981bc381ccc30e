// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The services the whole program shares, made once by the application at
// start-up and handed down explicitly: each part takes the ones it uses.
// The window-system services are layered above it (app/services.h).

namespace wp2 {

class FileChooser;
struct LinkSlot;
class UnitFormatter;

struct CoreServices {
    LinkSlot& link;        // the installed receiver link, if any
    UnitFormatter& units;  // the unit system of every read-out and dialog
    FileChooser& files;    // the file dialogs
};

}  // namespace wp2
