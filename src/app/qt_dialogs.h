#pragma once
// The program's dialogs on QtWidgets: the ones built so far open for real,
// the others still show their placeholder.

#include <memory>

#include "app/placeholder_dialogs.h"

namespace wp2 {

class MiscOptionsDialog;

class QtDialogs : public PlaceholderDialogs {
public:
    QtDialogs();
    ~QtDialogs() override;

    void prepareMiscOptions(UnitFormatter& units) override;
    bool miscOptions(UnitFormatter& units) override;
    void trackOptions(TrackView& map, TrackLog& track) override;

private:
    // Made once and shown again at every opening.
    std::unique_ptr<MiscOptionsDialog> misc_;
};

}  // namespace wp2
