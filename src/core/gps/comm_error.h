// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trace point of the serial link: every port failure becomes one trace
// text "Communications Error <code> \n<text>" of the diagnostics, where code is the platform's
// last error (errno). Nothing is shown to the user.

#include <string>

namespace wp2 {

class Diagnostics;

// Uses the current errno; call it right after the failing operation.
void reportCommError(Diagnostics& diagnostics, const std::string& text);
void reportCommError(Diagnostics& diagnostics, const std::string& text, int code);

}  // namespace wp2
