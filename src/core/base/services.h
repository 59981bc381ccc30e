// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The services the whole program shares, made once by the application at
// start-up and handed down explicitly: each part takes the ones it uses.
// The message boxes are layered above it (messages/ui_services.h).

namespace wp2 {

class Diagnostics;
class FileChooser;
struct LinkSlot;
class Registry;
class UnitFormatter;

// What a setting is made with: the registry it reads and writes, and where a
// write that fails is counted and traced.
struct SettingsServices {
    Registry& registry;
    Diagnostics& diagnostics;
};

struct CoreServices {
    LinkSlot& link;            // the installed receiver link, if any
    UnitFormatter& units;      // the unit system of every read-out and dialog
    FileChooser& files;        // the file dialogs
    Registry& registry;        // the store the settings live in
    Diagnostics& diagnostics;  // traces and failed saves

    SettingsServices settings() const { return {registry, diagnostics}; }
};

}  // namespace wp2
