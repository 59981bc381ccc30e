#include "platform/qt/map_sources.h"

namespace wp2 {

OpenedSource openMapSource(const std::string& spec) {
    return openLocalMapSource(spec);
}

}  // namespace wp2
