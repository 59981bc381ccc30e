#pragma once
// Stand-ins for the dialogs that are not built yet: each shows a message
// naming the dialog that will open there and changes nothing.

#include <string>

#include "app/app_dialogs.h"

namespace wp2 {

class PlaceholderDialogs : public AppDialogs {
public:
    // Emulation when asked for (emu not 0), otherwise the set-up is skipped.
    int firstRunSetup(int emu) override;
    bool newPoint(CPushpins& pushpins, const TrackPoint& fix) override;
    void selectPoint(CPushpins& pushpins) override;
    void soundOptions(SoundSettings& settings) override;
    void pushpinList(CPushpins& pushpins) override;
    void gpsSetup() override;
    // Gives the formatter the stored unit system.
    void prepareMiscOptions(UnitFormatter& units) override;
    bool miscOptions(UnitFormatter& units) override;
    void trackOptions(TrackView& map, TrackLog& track) override;

    // The message shown for a dialog that is not there yet.
    static std::string notice(const std::string& dialogName);
};

}  // namespace wp2
