// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/map_sources.h"

#include "platform/qt/tile_server_source.h"

namespace wp2 {

OpenedSource openMapSource(const std::string& location) {
    if (mapSourceKind(location) == MapSourceKind::Server) {
        return openTileServer(location);
    }
    return openLocalMapSource(location);
}

}  // namespace wp2
