#include "platform/qt/map_sources.h"

#include "platform/qt/tile_server_source.h"

namespace wp2 {

OpenedSource openMapSource(const std::string& spec) {
    if (mapSourceKind(spec) == MapSourceKind::Server) {
        return openTileServer(spec);
    }
    return openLocalMapSource(spec);
}

}  // namespace wp2
