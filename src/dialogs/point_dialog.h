// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The point dialog ("New point"): makes a pushpin at a given position or edits
// one, with its name, note, icon, position in degrees and decimal minutes with
// hemisphere buttons, and altitude in the current unit. New names are proposed
// as "WPoint_" and a counter kept in the "WPIdx" setting.

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>

#include "core/settings/int_setting.h"
#include "core/track/track_point.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace wp2 {

class MessageBoxes;
class Pushpin;
class Pushpins;
class UnitFormatter;
struct UiServices;

inline constexpr const char* kPointNamePrefix = "WPoint_";
inline constexpr const char* kPointCounterValue = "WPIdx";
inline constexpr const char* kInvalidAltitudeText = "Invalid altitude value";

// The name counter after a pushpin was named `name`: the number that follows
// the prefix (letters compared without regard to case, at most 10 characters
// read) plus one, 1 once that reaches 100; `counter` itself otherwise.
std::int32_t nextPointCounter(const std::string& name, std::int32_t counter);

class PointDialog : public QDialog {
    Q_OBJECT

public:
    // index -1 makes a new pushpin at the start point's position; otherwise
    // the pushpin at the index is edited. The name counter is 1 until
    // loadCounter(). units: the unit system of the altitude box.
    PointDialog(const UiServices& services, Pushpins& pushpins, int index, const TrackPoint& start,
                const UnitFormatter& units, QWidget* parent = nullptr);

    // Reads the name counter from "WPIdx" (1 when absent), before exec().
    void loadCounter();
    // Writes the name counter back, after exec() whatever the answer.
    Result<> saveCounter();

    // Fills the boxes and shows the dialog. A new pushpin that the collection
    // cannot make ends it at once with Rejected.
    int exec() override;
    // Checks the boxes; when they hold valid values stores them in the
    // pushpin and closes with OK, otherwise says why and stays open.
    void accept() override;
    // Closes; a pushpin made by this dialog is removed again.
    void reject() override;

    Pushpin* pushpin() const { return pushpin_; }
    std::int32_t nameCounter() const { return counter_.get(); }
    int icon() const { return icon_; }

    QLineEdit* nameEdit() const { return name_; }
    QPlainTextEdit* noteEdit() const { return note_; }
    QPushButton* iconButton() const { return chooseIcon_; }
    QLabel* iconView() const { return iconView_; }
    QLineEdit* latDegreesEdit() const { return latDegrees_; }
    QLineEdit* latMinutesEdit() const { return latMinutes_; }
    QPushButton* northSouthButton() const { return northSouth_; }
    QLineEdit* lngDegreesEdit() const { return lngDegrees_; }
    QLineEdit* lngMinutesEdit() const { return lngMinutes_; }
    QPushButton* eastWestButton() const { return eastWest_; }
    QLineEdit* altitudeEdit() const { return altitude_; }
    QLabel* altitudeUnit() const { return altitudeUnit_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    struct Coordinate {
        std::int32_t degrees = 0;
        float minutes = 0.0f;
    };

    bool prepare();
    void showPosition();
    void showIcon();
    void showHemispheres();
    void pickIcon();
    // Reads a degrees or minutes box; says why and selects it when it does not
    // hold a number in range.
    bool readDegrees(QLineEdit* box, std::int32_t highest, std::int32_t& out);
    bool readMinutes(QLineEdit* box, float& out);
    double coordinate(const Coordinate& c, bool positive) const;

    Pushpins& pushpins_;
    const UnitFormatter& units_;
    int index_;
    TrackPoint start_;
    Pushpin* pushpin_ = nullptr;
    bool madeHere_ = false;
    MessageBoxes& boxes_;
    IntSetting counter_;
    int icon_ = 0;
    bool north_ = true;
    bool east_ = true;
    Coordinate lat_;
    Coordinate lng_;
    // What the position and altitude boxes showed at opening: unchanged boxes
    // keep the stored values exactly instead of their rounded texts.
    QString shownLat_[2];
    QString shownLng_[2];
    bool shownNorth_ = true;
    bool shownEast_ = true;
    QString shownAltitude_;

    QLineEdit* name_;
    QPlainTextEdit* note_;
    QPushButton* chooseIcon_;
    QLabel* iconView_;
    QLineEdit* latDegrees_;
    QLineEdit* latMinutes_;
    QPushButton* northSouth_;
    QLineEdit* lngDegrees_;
    QLineEdit* lngMinutes_;
    QPushButton* eastWest_;
    QLineEdit* altitude_;
    QLabel* altitudeUnit_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// Runs the point dialog in the services' unit system; QDialog::Accepted when
// the pushpin was stored.
int runPointDialog(QWidget* parent, const UiServices& services, Pushpins& pushpins, int index,
                   const TrackPoint& start);

}  // namespace wp2
