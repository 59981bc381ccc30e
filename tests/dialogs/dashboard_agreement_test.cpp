// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs show what the dashboard shows: the icon chooser offers exactly
// the icons of the table the track map and the destination panels draw from,
// each with the same picture, numbered from 1, and the new-point dialog of a
// receiver without a fix proposes no position (the "none" value is no place
// on earth).

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "core/nav/angles.h"
#include "core/nav/coordinate_text.h"
#include "core/waypoints/pushpins.h"
#include "dialog_test_env.h"
#include "dialogs/icon_chooser_dialog.h"
#include "dialogs/point_dialog.h"
#include "dialogs/pushpin_icons.h"
#include "ui/bitmap_source.h"
#include "ui/skin_bitmaps.h"

namespace wp2::test {
namespace {

class DashboardAgreement : public DialogTest {};

TEST_F(DashboardAgreement, TheIconChooserOffersTheMapsIconsWithTheSamePictures) {
    ASSERT_EQ(pushpinIconTableSize(), 59);
    auto step = whenShown<IconChooserDialog>([](IconChooserDialog& d) {
        EXPECT_EQ(d.list()->count(), pushpinIconTableSize());
        for (int i = 0; i < d.list()->count(); ++i) {
            // What the map draws for the index, black transparent.
            QImage map = loadBitmap(pushpinIconBitmapId(i)).convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < map.height(); ++y) {
                for (int x = 0; x < map.width(); ++x) {
                    if ((map.pixel(x, y) & 0xffffff) == 0) {
                        map.setPixel(x, y, 0);
                    }
                }
            }
            const QImage shown = d.list()->item(i)->icon().pixmap(16, 16).toImage();
            EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32), map) << i;
        }
        click(d.cancelButton());
    });
    setLastIconChosen(-1);
    EXPECT_EQ(runIconChooser(nullptr, lastIconChosen()), -1);
    EXPECT_TRUE(step.ran());
    EXPECT_TRUE(pushpinPixmap(pushpinIconTableSize()).isNull());
    // OK takes the selected icon, selected again at the next opening; Cancel takes none.
    for (const bool ok : {true, false}) {
        auto pick = whenShown<IconChooserDialog>([ok](IconChooserDialog& d) {
            EXPECT_EQ(d.chosenIcon(), ok ? -1 : 4);
            EXPECT_EQ(d.list()->item(4)->text(), "5");
            d.list()->setCurrentRow(4);
            click(ok ? d.okButton() : d.cancelButton());
        });
        EXPECT_EQ(runIconChooser(nullptr, lastIconChosen()), ok ? 4 : -1);
    }
}

TEST_F(DashboardAgreement, ANewPointWithoutAFixProposesNoPosition) {
    Pushpins pins;
    TrackPoint noFix;
    noFix.latitude = noFix.longitude = kNoPosition;
    auto step = whenShown<PointDialog>([&](PointDialog& d) {
        for (QLineEdit* box :
             {d.latDegreesEdit(), d.latMinutesEdit(), d.lngDegreesEdit(), d.lngMinutesEdit()}) {
            EXPECT_EQ(box->text(), "");
            typeInto(box, "12");
        }
        click(d.okButton());
    });
    runPointDialog(nullptr, services_.ui, pins, -1, noFix);
    EXPECT_TRUE(step.ran());
    EXPECT_DOUBLE_EQ(pins.at(0)->latitude, (12 + 12 / 60.0) * kDegToRad);
}

}  // namespace
}  // namespace wp2::test
