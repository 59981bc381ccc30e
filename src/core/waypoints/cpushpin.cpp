#include "core/waypoints/cpushpin.h"

namespace wp2 {

void CPushpin::CopyFrom(const CPushpin& other) {
    static_cast<TrackPoint&>(*this) = static_cast<const TrackPoint&>(other);
    name = other.name;
    note = other.note;
    icon = other.icon;
    reserved = other.reserved;
}

}  // namespace wp2
