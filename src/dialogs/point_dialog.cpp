// SPDX-License-Identifier: GPL-3.0-or-later
#include "point_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cmath>

#include "core/base/cformat.h"
#include "core/base/diagnostics.h"
#include "core/nav/coordinate_text.h"
#include "core/nav/unit_formatter.h"
#include "core/waypoints/pushpin_messages.h"
#include "core/waypoints/pushpins.h"
#include "dialog_builder.h"
#include "dialog_layout.h"
#include "icon_chooser_dialog.h"
#include "input_panel.h"
#include "messages/message_box.h"
#include "messages/ui_services.h"
#include "pushpin_icons.h"

namespace wp2 {

namespace {

constexpr std::int32_t kHighestLatitude = 90;
constexpr std::int32_t kHighestLongitude = 180;
constexpr double kHighestMinutes = 60.0;
// Where the pushpin's icon is drawn, in pixels of the dialog.
constexpr int kIconX = 171;
constexpr int kIconY = 7;
constexpr int kIconSize = 16;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A whole-number text: optional white space, sign and digits, white space.
bool parseWhole(const QString& text, std::int32_t& out) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (ok) {
        out = value;
    }
    return ok;
}

// A number text read as strtod reads it, with nothing but white space after it.
bool parseNumber(const QString& text, double& out) {
    const std::string s = utf8(text);
    double value = 0.0;
    const std::size_t used = cparseDouble(s.c_str(), value);
    if (used == 0) {
        return false;
    }
    for (std::size_t i = used; i < s.size(); ++i) {
        if (!std::isspace(static_cast<unsigned char>(s[i]))) {
            return false;
        }
    }
    out = value;
    return true;
}

QString minutesText(float minutes) {
    return QString::fromStdString(cformat("%.*g", 6, static_cast<double>(minutes)));
}

// Notes keep the handheld's line ends ("\r\n"); the edit box shows "\n".
QString noteForEditing(const std::string& note) {
    return QString::fromStdString(note).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string noteForStoring(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return utf8(s);
}

// The first character typed that no pushpin can hold (one impossibleCharacter
// names, or half of a surrogate pair alone, which UTF-8 cannot carry); 0 when
// there is none.
char32_t firstImpossible(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (text[i].isSurrogate() || impossibleCharacter(text[i].unicode())) {
            return text[i].unicode();
        }
    }
    return 0;
}

// A pushpin's own fields, without the links that belong to its collection.
void copyFields(Pushpin& to, const Pushpin& from) {
    static_cast<TrackPoint&>(to) = from;
    to.name = from.name;
    to.note = from.note;
    to.icon = from.icon;
    to.reserved = from.reserved;
}

void complain(MessageBoxes& boxes, const std::string& text) {
    showMessage(boxes, text, kApplicationCaption, MessageIcon::Exclamation);
}

}  // namespace

std::int32_t nextPointCounter(const std::string& name, std::int32_t counter) {
    const std::string_view prefix = kPointNamePrefix;
    if (name.size() <= prefix.size()) {
        return counter;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lower(name[i]) != lower(prefix[i])) {
            return counter;
        }
    }
    // As "%d" reads it, from at most the 10 characters after the prefix (a
    // character that is not ASCII ends the number before that).
    const std::string rest = name.substr(prefix.size(), 10);
    std::size_t i = 0;
    while (i < rest.size() && isSpace(rest[i])) {
        ++i;
    }
    bool negative = false;
    if (i < rest.size() && (rest[i] == '-' || rest[i] == '+')) {
        negative = rest[i] == '-';
        ++i;
    }
    long long number = 0;
    bool digits = false;
    for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) {
        number = number * 10 + (rest[i] - '0');
        digits = true;
    }
    if (!digits) {
        return counter;
    }
    const long long next = (negative ? -number : number) + 1;
    return next >= 100 ? 1 : static_cast<std::int32_t>(next);
}

PointDialog::PointDialog(const UiServices& services, Pushpins& pushpins, int index,
                         const TrackPoint& start, const UnitFormatter& units, QWidget* parent)
    : QDialog(parent),
      pushpins_(pushpins),
      units_(units),
      index_(index),
      start_(start),
      boxes_(services.boxes),
      counter_(services.settings(), kPointCounterValue, false, 1) {
    DialogBuilder b(*this, "New point", 150, 136);
    name_ = b.edit(5, 4, 94, 12);
    chooseIcon_ = b.button("...", 101, 4, 12, 12);
    iconView_ = new QLabel(this);
    iconView_->setGeometry(scaled(kIconX), scaled(kIconY), scaled(kIconSize), scaled(kIconSize));
    b.label("Note", 5, 19, 30, 8);
    note_ = new QPlainTextEdit(this);
    note_->setGeometry(dluRect(5, 28, 140, 34));
    b.label("Lat", 5, 69, 17, 8);
    latDegrees_ = b.edit(24, 67, 22, 12);
    latMinutes_ = b.edit(50, 67, 44, 12);
    northSouth_ = b.button("N", 98, 67, 16, 12);
    b.label("Lng", 5, 85, 17, 8);
    lngDegrees_ = b.edit(24, 83, 22, 12);
    lngMinutes_ = b.edit(50, 83, 44, 12);
    eastWest_ = b.button("E", 98, 83, 16, 12);
    b.label("Alt", 5, 101, 17, 8);
    altitude_ = b.edit(24, 99, 44, 12);
    altitudeUnit_ = b.label("ft", 72, 101, 24, 8);
    ok_ = b.button("OK", 20, 118, 50, 14);
    cancel_ = b.button("Cancel", 80, 118, 50, 14);
    ok_->setDefault(true);
    b.finish();

    connect(chooseIcon_, &QPushButton::clicked, this, &PointDialog::pickIcon);
    connect(northSouth_, &QPushButton::clicked, this, [this] {
        north_ = !north_;
        showHemispheres();
    });
    connect(eastWest_, &QPushButton::clicked, this, [this] {
        east_ = !east_;
        showHemispheres();
    });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void PointDialog::loadCounter() {
    counter_.load();
}

Result<> PointDialog::saveCounter() {
    return counter_.save();
}

int PointDialog::exec() {
    if (!prepare()) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

bool PointDialog::prepare() {
    name_->setEnabled(true);
    note_->setEnabled(true);
    name_->setText(QString::fromStdString(kPointNamePrefix + cformat("%d", counter_.get())));
    if (index_ != -1) {
        setWindowTitle(QString());
        pushpin_ = pushpins_.at(index_);
        if (!pushpin_) {
            return false;
        }
        note_->setPlainText(noteForEditing(pushpin_->note));
        name_->setText(QString::fromStdString(pushpin_->name));
        icon_ = pushpin_->icon;
    } else {
        pushpin_ = pushpins_.addNew();
        if (!pushpin_) {
            return false;
        }
        madeHere_ = true;
        pushpin_->latitude = start_.latitude;
        pushpin_->longitude = start_.longitude;
        pushpin_->altitude = start_.altitude;
        pushpin_->state |= start_.state;
        pushpin_->icon = lastIconChosen();
        icon_ = pushpin_->icon;
    }
    showPosition();
    showIcon();
    return true;
}

void PointDialog::showPosition() {
    const FormattedValue alt = units_.formatAltitude(pushpin_->altitude);
    altitudeUnit_->setText(uiText(alt.label));
    if (isPosition(pushpin_->latitude, pushpin_->longitude)) {
        const DegMin lat = DegMin::split(pushpin_->latitude);
        const DegMin lng = DegMin::split(pushpin_->longitude);
        lat_ = {lat.degrees, lat.minutes};
        lng_ = {lng.degrees, lng.minutes};
        north_ = lat.positive;
        east_ = lng.positive;
        latDegrees_->setText(QString::number(lat_.degrees));
        latMinutes_->setText(minutesText(lat_.minutes));
        lngDegrees_->setText(QString::number(lng_.degrees));
        lngMinutes_->setText(minutesText(lng_.minutes));
        altitude_->setText(uiText(alt.text));
    }
    // Without a position (no fix yet) the boxes stay empty for the user to
    // fill in: the "none" value is no place to propose.
    showHemispheres();

    shownLat_[0] = latDegrees_->text();
    shownLat_[1] = latMinutes_->text();
    shownLng_[0] = lngDegrees_->text();
    shownLng_[1] = lngMinutes_->text();
    shownNorth_ = north_;
    shownEast_ = east_;
    shownAltitude_ = altitude_->text();
}

void PointDialog::showHemispheres() {
    northSouth_->setText(
        QString::fromStdString(hemisphereLetter(hemisphereResource(true, north_))));
    eastWest_->setText(QString::fromStdString(hemisphereLetter(hemisphereResource(false, east_))));
}

void PointDialog::showIcon() {
    iconView_->setPixmap(pushpinPixmap(icon_));
}

void PointDialog::pickIcon() {
    // The pushpin takes the icon only with the dialog's OK.
    const int chosen = runIconChooser(this, icon_);
    if (chosen < 0) {
        return;
    }
    icon_ = chosen;
    showIcon();
}

bool PointDialog::readDegrees(QLineEdit* box, std::int32_t highest, std::int32_t& out) {
    std::int32_t value = 0;
    if (!parseWhole(box->text(), value)) {
        complain(boxes_, "Please enter an integer.");
    } else if (value < 0 || value > highest) {
        complain(boxes_, cformat("Please enter an integer between 0 and %d.", highest));
    } else {
        out = value;
        return true;
    }
    box->setFocus();
    box->selectAll();
    return false;
}

bool PointDialog::readMinutes(QLineEdit* box, float& out) {
    double value = 0.0;
    if (!parseNumber(box->text(), value)) {
        complain(boxes_, "Please enter a number.");
    } else if (!(value >= 0.0 && value <= kHighestMinutes)) {
        complain(boxes_, "Please enter a number between 0 and 60.");
    } else {
        out = static_cast<float>(value);
        return true;
    }
    box->setFocus();
    box->selectAll();
    return false;
}

double PointDialog::coordinate(const Coordinate& c, bool positive) const {
    return DegMin{c.degrees, c.minutes, positive}.join();
}

void PointDialog::accept() {
    lowerInputPanel();
    Coordinate lat = lat_;
    Coordinate lng = lng_;
    if (!readDegrees(latDegrees_, kHighestLatitude, lat.degrees) ||
        !readMinutes(latMinutes_, lat.minutes) ||
        !readDegrees(lngDegrees_, kHighestLongitude, lng.degrees) ||
        !readMinutes(lngMinutes_, lng.minutes)) {
        return;
    }
    const std::string altitudeText = utf8(altitude_->text());
    double altitude = pushpin_->altitude;
    const bool altitudeGiven = !altitudeText.empty();
    if (altitudeGiven && altitude_->text() != shownAltitude_ &&
        !units_.parseAltitude(altitudeText, altitude)) {
        showMessage(boxes_, kInvalidAltitudeText, kApplicationCaption, MessageIcon::None);
        altitude_->setFocus();
        altitude_->selectAll();
        return;
    }

    // The pushpin changes only when everything typed can be kept: a name or
    // note with a control character pasted into it would make a pushpin file
    // its own reader refuses.
    Pushpin edited;
    copyFields(edited, *pushpin_);
    const QString nameText = name_->text();
    const QString noteText = note_->toPlainText();
    const std::string name = utf8(nameText);
    edited.name = name;
    edited.note = noteForStoring(noteText);
    edited.icon = icon_;
    const bool latChanged = latDegrees_->text() != shownLat_[0] ||
                            latMinutes_->text() != shownLat_[1] || north_ != shownNorth_;
    const bool lngChanged = lngDegrees_->text() != shownLng_[0] ||
                            lngMinutes_->text() != shownLng_[1] || east_ != shownEast_;
    if (latChanged) {
        edited.latitude = coordinate(lat, north_);
    }
    if (lngChanged) {
        edited.longitude = coordinate(lng, east_);
    }
    if (altitudeGiven) {
        edited.altitude = altitude;
        edited.state |= TrackPointState::ThreeD;
    } else {
        edited.state &= ~TrackPointState::ThreeD;
        edited.state |= TrackPointState::FromPosition;
    }
    // The checks of impossiblePushpin in its order, with the texts checked as
    // typed.
    std::string problem = impossibleValue(edited);
    const char32_t inName = firstImpossible(nameText);
    const char32_t inNote = firstImpossible(noteText);
    if (problem.empty() && (inName || inNote)) {
        problem = characterText(inName ? inName : inNote);
    }
    if (problem.empty()) {
        problem = impossiblePushpin(edited);
    }
    if (!problem.empty()) {
        complain(boxes_, "The point cannot be kept: it holds " + problem + ".");
        return;
    }
    copyFields(*pushpin_, edited);
    counter_ = nextPointCounter(name, counter_.get());
    lat_ = lat;
    lng_ = lng;
    madeHere_ = false;
    QDialog::accept();
}

void PointDialog::reject() {
    lowerInputPanel();
    if (madeHere_ && pushpin_) {
        pushpins_.remove(pushpin_);
        pushpin_ = nullptr;
        madeHere_ = false;
    }
    QDialog::reject();
}

int runPointDialog(QWidget* parent, const UiServices& services, Pushpins& pushpins, int index,
                   const TrackPoint& start) {
    PointDialog dialog(services, pushpins, index, start, services.units, parent);
    dialog.loadCounter();
    const int answer = dialog.exec();
    services.diagnostics.traceFailure(dialog.saveCounter());
    return answer;
}

}  // namespace wp2
