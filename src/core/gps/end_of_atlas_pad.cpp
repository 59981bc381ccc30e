// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/end_of_atlas_pad.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace wp2 {

namespace {

std::mutex& listenersMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<int, EndOfAtlasPad::Listener>& listeners() {
    static std::map<int, EndOfAtlasPad::Listener> map;
    return map;
}

int nextId = 1;

}  // namespace

int EndOfAtlasPad::subscribe(Listener listener) {
    std::lock_guard<std::mutex> lock(listenersMutex());
    int id = nextId++;
    listeners()[id] = std::move(listener);
    return id;
}

void EndOfAtlasPad::unsubscribe(int id) {
    std::lock_guard<std::mutex> lock(listenersMutex());
    listeners().erase(id);
}

void EndOfAtlasPad::post() {
    std::vector<int> ids;
    {
        std::lock_guard<std::mutex> lock(listenersMutex());
        for (const auto& [id, listener] : listeners()) {
            ids.push_back(id);
        }
    }
    for (int id : ids) {
        Listener listener;
        {
            std::lock_guard<std::mutex> lock(listenersMutex());
            auto it = listeners().find(id);
            if (it == listeners().end()) {
                continue;  // unsubscribed by an earlier listener
            }
            listener = it->second;
        }
        listener();
    }
}

}  // namespace wp2
