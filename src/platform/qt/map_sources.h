// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opens a base map by what the user gave: an MBTiles file, a tile folder or
// a tile server's address.

#include <string>

#include "core/maps/tile_source.h"

namespace wp2 {

OpenedSource openMapSource(const std::string& location);

}  // namespace wp2
