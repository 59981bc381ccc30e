// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "WM_ENDOFATLASPAD" notice: posted when a receiver link is destroyed so
// that every other live link ends its reconnect attempts. It is an
// in-process broadcast: links subscribe while they live.

#include <functional>

namespace wp2 {

inline constexpr const char* kEndOfAtlasPadName = "WM_ENDOFATLASPAD";

class EndOfAtlasPad {
public:
    using Listener = std::function<void()>;

    // Returns a subscription id (never 0) for unsubscribe().
    static int subscribe(Listener listener);
    static void unsubscribe(int id);
    // Delivers the notice to every listener subscribed at the moment of the
    // call, on the calling thread. Listeners may unsubscribe meanwhile.
    static void post();
};

}  // namespace wp2
