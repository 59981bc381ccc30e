// The icon chooser: every picture of the pushpin icon table numbered from 1,
// the selection on the last icon chosen, and what OK and Cancel leave.

#include "dialogs/icon_chooser_dialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "dialog_test_env.h"
#include "dialogs/pushpin_icons.h"
#include "ui/bitmap_source.h"
#include "ui/skin_bitmaps.h"

namespace wp2::test {
namespace {

class IconChooserDialog : public DialogTest {
protected:
    void SetUp() override { setLastIconChosen(0); }
    void TearDown() override { setLastIconChosen(0); }

    int run(std::function<void(wp2::IconChooserDialog&)> steps) {
        auto step = whenShown<wp2::IconChooserDialog>(std::move(steps));
        const int icon = runIconChooser(nullptr);
        EXPECT_TRUE(step.ran());
        return icon;
    }
    static void clickIcon(QListWidget& list, int row) {
        const QRect r = list.visualItemRect(list.item(row));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }
};

// What the track map and the destination panels draw for an icon index, as
// the dialogs show it (black transparent).
QImage mapIcon(int icon) {
    QImage image = loadBitmap(pushpinIconBitmapId(icon)).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xffffff) == 0) {
                image.setPixel(x, y, 0);
            }
        }
    }
    return image;
}

TEST_F(IconChooserDialog, OkMakesTheChosenIconTheLastChosen) {
    ASSERT_EQ(pushpinIconTableSize(), 59);
    EXPECT_EQ(run([](wp2::IconChooserDialog& d) {
                  EXPECT_EQ(d.list()->currentRow(), 0);
                  // Exactly the icons the map can draw, each the same picture.
                  EXPECT_EQ(d.list()->count(), pushpinIconTableSize());
                  for (int i = 0; i < d.list()->count(); ++i) {  // numbered from 1
                      EXPECT_EQ(d.list()->item(i)->text(), QString::number(i + 1));
                      const QImage shown = d.list()->item(i)->icon().pixmap(16, 16).toImage();
                      EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32), mapIcon(i)) << i;
                  }
                  clickIcon(*d.list(), 3);
                  click(d.okButton());
              }),
              3);
    EXPECT_EQ(lastIconChosen(), 3);

    EXPECT_EQ(run([](wp2::IconChooserDialog& d) {
                  EXPECT_EQ(d.list()->currentRow(), 3);
                  clickIcon(*d.list(), 1);
                  click(d.cancelButton());
              }),
              -1);
    EXPECT_EQ(lastIconChosen(), 3);
}

TEST_F(IconChooserDialog, TheKeyColourIsTransparent) {
    const QImage source = pushpinIcon(0);
    const QImage drawn = pushpinPixmap(0).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(source.size(), drawn.size());
    int keyed = 0;
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const bool key = (source.pixel(x, y) & 0xffffff) == 0;
            keyed += key;
            EXPECT_EQ(qAlpha(drawn.pixel(x, y)), key ? 0 : 255) << x << "," << y;
        }
    }
    EXPECT_GT(keyed, 0);
    EXPECT_TRUE(pushpinPixmap(-1).isNull());
    EXPECT_TRUE(pushpinPixmap(pushpinIconTableSize()).isNull());
}

TEST_F(IconChooserDialog, FitsTheScreen) {
    wp2::IconChooserDialog d;
    renderScreen(d, "icon_chooser");
}

}  // namespace
}  // namespace wp2::test
