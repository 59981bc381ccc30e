// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The track options dialog of the track map: Load, Save and Clear of the
// track, the map's "Rotate map" and "Drag map" switches, which persist in
// the "TrackOpt2" setting (0x1 drag, 0x2 rotate), and the base map drawn
// under the track: none, a map file, a tile folder or a tile server.

#include <QDialog>
#include <cstdint>
#include <string>

#include "messages/ui_services.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace wp2 {

class TrackLog;

inline constexpr const char* kTrackMapOptionsValue = "TrackOpt2";
inline constexpr std::int32_t kTrackMapOptionsDefault = 1;
inline constexpr std::int32_t kTrackMapDrag = 0x1;
inline constexpr std::int32_t kTrackMapRotate = 0x2;

struct TrackMapOptions {
    bool rotateMap = false;
    bool dragMap = false;
    // The base map's file, folder or server address; empty for none.
    std::string baseMap;

    static TrackMapOptions fromStored(std::int32_t value);
    std::int32_t stored() const;
    bool operator==(const TrackMapOptions&) const = default;
};

class TrackOptionsDialog : public QDialog {
    Q_OBJECT

public:
    // services: the file dialogs of Load, Save and the base map's file, and
    // where a failed save is counted.
    TrackOptionsDialog(const UiServices& services, TrackLog& track, TrackMapOptions options,
                       QWidget* parent = nullptr);

    // The switches as OK took them; as given for Cancel, Load, Save and Clear.
    const TrackMapOptions& options() const { return options_; }

    QCheckBox* rotateBox() const { return rotate_; }
    QCheckBox* dragBox() const { return drag_; }
    QPushButton* loadButton() const { return load_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* clearButton() const { return clear_; }
    // The kind of base map (None, Map file, Tile folder, Tile server), where
    // it is, and the button that looks for a file or folder.
    QComboBox* baseMapKind() const { return kind_; }
    QLineEdit* baseMapEdit() const { return where_; }
    QPushButton* browseButton() const { return browse_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    void accept() override;

private:
    void browseBaseMap();

    UiServices services_;
    TrackLog& track_;
    TrackMapOptions options_;
    QCheckBox* rotate_;
    QCheckBox* drag_;
    QPushButton* load_;
    QPushButton* save_;
    QPushButton* clear_;
    QComboBox* kind_;
    QLineEdit* where_;
    QPushButton* browse_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Runs the dialog on the stored "TrackOpt2" and writes it back however the
// dialog closed. The caller gives the map the returned switches.
TrackMapOptions runTrackOptionsDialog(QWidget* parent, const UiServices& services, TrackLog& track,
                                      const std::string& baseMap = {});

}  // namespace wp2
