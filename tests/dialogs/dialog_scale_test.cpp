// SPDX-License-Identifier: GPL-3.0-or-later
// Every dialog of the program fits the handheld's screen, and grows with the
// dashboard: at --scale 2 it is twice as large, fonts included, and still
// fits the enlarged screen with every text whole. Its texts call the program
// Wayplot2, never by its maker's name or the handheld's.

#include <QApplication>
#include <QRegularExpression>
#include <functional>
#include <map>

#include "core/nav/unit_formatter.h"
#include "core/routes/route_navigator.h"
#include "core/routes/route_settings.h"
#include "core/routes/routes.h"
#include "core/sound/recording_sound_player.h"
#include "core/sound/sound_settings.h"
#include "core/track/track_log.h"
#include "core/waypoints/pushpin_export.h"
#include "core/waypoints/pushpin_import.h"
#include "core/waypoints/pushpin_test_util.h"
#include "dialog_test_env.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/export_format_dialog.h"
#include "dialogs/file_dialog.h"
#include "dialogs/first_run_wizard.h"
#include "dialogs/go_to_dialog.h"
#include "dialogs/gps_setup_dialog.h"
#include "dialogs/icon_chooser_dialog.h"
#include "dialogs/message_box_dialog.h"
#include "dialogs/misc_options_dialog.h"
#include "dialogs/point_dialog.h"
#include "dialogs/point_selection_dialog.h"
#include "dialogs/pushpin_icons.h"
#include "dialogs/pushpins_dialog.h"
#include "dialogs/routes_dialog.h"
#include "dialogs/scan_dialog.h"
#include "dialogs/sound_options_dialog.h"
#include "dialogs/track_options_dialog.h"
#include "dialogs/warning_dialog.h"
#include "support/fake_link.h"

namespace wp2::test {
namespace {

class DialogScale : public DialogTest {
protected:
    void TearDown() override { setDialogScale(1); }
};

void expectOwnName(const QDialog& d) {
    static const QRegularExpression foreign("KELM|PDA|Wayplot(?!2)");
    QStringList texts{d.windowTitle()};
    for (const QWidget* w : d.findChildren<QWidget*>()) {
        texts << w->property("text").toString() << w->property("title").toString();
    }
    for (const QString& t : texts) {
        EXPECT_FALSE(t.contains(foreign)) << t.toStdString();
    }
}

constexpr const char* kFilter = "Pushpins file (*.kpp)|*.kpp||";
constexpr const char* kLong =
    "This waypoint is currently used for navigation.\r\nAre you sure you want to delete it?";
constexpr MessageIcon kIcon = MessageIcon::Exclamation;
constexpr MessageButtons kButtons = MessageButtons::OkCancel;

TEST_F(DialogScale, EveryDialogFitsTheScreenAndGrowsWithTheScale) {
    registry_.setNumber(kTrackStateValue,
                        TrackState::Default & ~TrackState::AutoLoad & ~TrackState::AutoSave);
    TrackLog track;
    Pushpins pins;
    addPin(pins, "Trailhead car park", -33.5, -70.25, 812.0)->note =
        "Gate closes at dusk; park by the fence";
    SettingsStore store(registry_);
    UnitFormatter units;
    SoundSettings sounds;
    sounds.init(services_.settings(), &store, &units);
    RecordingSoundPlayer player;
    FakeLink link(services_.settings());
    RouteSettings alarms(services_.settings(), store);
    Routes routes;
    (void)routes.add({"Lakeside loop", {routePointFrom(*pins.at(0))}});
    const RouteNavigator following(routes.all()[0]);
    const TrackMapOptions rotate{true, false, {}};
    const FileDialogRequest openRequest{kFilter, "kpp", ""};
    const FileDialogRequest importRequest{kImportFilter, "kpp", ""};
    const FileDialogRequest exportRequest{kExportFilter, "txt", "Pushpins_Export"};
    using Make = std::function<QDialog*()>;
    using K = FileDialog::Kind;
    const UiServices& ui = services_.ui;
    MessageBoxes& boxes = services_.boxes;
    const auto fileDialog = [&](const FileDialogRequest& request, K kind) -> QDialog* {
        auto* d = new FileDialog(registry_, boxes, request, kind);
        d->prepare();
        return d;
    };
    const std::pair<const char*, Make> dialogs[] = {
        {"sound_options", [&] { return new SoundOptionsDialog(sounds, player, boxes); }},
        {"misc_options", [&] { return new MiscOptionsDialog(ui.settings()); }},
        {"point", [&] { return new PointDialog(ui, pins, 0, TrackPoint(), services_.units); }},
        {"point_selection", [&] { return new PointSelectionDialog(pins); }},
        {"pushpins", [&] { return new PushpinsDialog(ui, pins); }},
        {"pushpins_routes", [&] { return new PushpinsDialog(ui, pins, nullptr, &routes); }},
        {"routes", [&] { return new RoutesDialog(routes, pins, services_.files, boxes); }},
        {"go_to", [&] { return new GoToDialog(routes, &following); }},
        {"sound_alarms",
         [&] { return new SoundOptionsDialog(sounds, player, boxes, nullptr, &alarms); }},
        {"icon_chooser", [] { return new IconChooserDialog(0); }},
        {"export_format", [] { return new ExportFormatDialog; }},
        {"track_options", [&] { return new TrackOptionsDialog(ui, track, rotate); }},
        {"gps_setup", [&] { return new GpsSetupDialog(ui, link.link.get()); }},
        {"scan", [&] { return new ScanDialog(boxes, link.link.get()); }},
        {"first_run_wizard", [] { return new FirstRunWizard(1); }},
        {"warning", [] { return new WarningDialog; }},
        {"file_open", [&] { return fileDialog(openRequest, K::Open); }},
        {"file_import", [&] { return fileDialog(importRequest, K::Open); }},
        {"file_export", [&] { return fileDialog(exportRequest, K::Save); }},
        {"message_box_long", [] { return new MessageBoxDialog(kLong, "Delete", kIcon, kButtons); }},
        {"message_box_short",
         [] { return new MessageBoxDialog("GPS receiver not started.", "", kIcon, kButtons); }},
    };
    std::map<std::string, QSize> handheld;
    for (int scale : {1, 2}) {
        setDialogScale(scale);
        for (const auto& [name, make] : dialogs) {
            const std::string shot = name + std::string(scale == 1 ? "" : "@2");
            SCOPED_TRACE(shot);
            std::unique_ptr<QDialog> d(make());
            renderScreen(*d, shot);
            expectOwnName(*d);
            EXPECT_EQ(d->font().pixelSize(), 11 * scale);
            EXPECT_EQ(pushpinPixmap(0).size(), QSize(16, 16) * scale);
            if (scale == 1) {
                handheld[name] = d->size();
                continue;
            }
            // Twice the size; a message box sizes itself to its text and its
            // buttons' frames, which do not grow.
            const QSize twice = handheld[name] * 2;
            EXPECT_NEAR(d->width(), twice.width(), twice.width() / 10);
            EXPECT_NEAR(d->height(), twice.height(), twice.height() / 10);
        }
    }
}

}  // namespace
}  // namespace wp2::test
