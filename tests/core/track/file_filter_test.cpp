// Filter texts of the file dialogs: pairs of description and patterns, and
// which pair a chosen file name belongs to.

#include "core/track/file_filter.h"

#include <gtest/gtest.h>

#include "core/track/file_chooser.h"

namespace wp2 {
namespace {

TEST(FileFilter, ChosenFileIsMatchedByExtensionWithoutRegardToCase) {
    const auto filters = parseFileFilter(
        "Geocaching(*.loc)|*.loc|Text CSV (*.csv,*.txt)|*.csv; *.txt|Pushpins file "
        "(*.kpp)|*.kpp||");
    EXPECT_EQ(filterIndexForFile(filters, "/a/b/caches.LOC"), 1);
    EXPECT_EQ(filterIndexForFile(filters, "/a/b/points.txt"), 2);
    EXPECT_EQ(filterIndexForFile(filters, "points.Csv"), 2);
    EXPECT_EQ(filterIndexForFile(filters, "/x/Pushpins.kpp"), 3);
    EXPECT_EQ(filterIndexForFile(filters, "/x/track.atk"), 0);
    EXPECT_EQ(filterIndexForFile(filters, "/x.kpp/noextension"), 0);
}

class FixedNameChooser final : public FileChooser {
public:
    explicit FixedNameChooser(std::optional<std::string> name) : name_(std::move(name)) {}
    std::optional<std::string> openFile(const FileDialogRequest&) override { return name_; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return name_; }

private:
    std::optional<std::string> name_;
};

TEST(FileFilter, ChoosersWithoutFilterKnowledgeReportTheFilterOfTheExtension) {
    const FileDialogRequest exportRequest{"ESRI Shape file (*.shp)|*.shp|Text file (*.txt)|*.txt||",
                                          "txt", "Pushpins_Export"};
    auto choice = FixedNameChooser("/tmp/out.txt").saveFileChoice(exportRequest);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, "/tmp/out.txt");
    EXPECT_EQ(choice->filterIndex, 2);
    EXPECT_EQ(FixedNameChooser("/tmp/out.shp").saveFileChoice(exportRequest)->filterIndex, 1);
    EXPECT_EQ(FixedNameChooser("/tmp/out").saveFileChoice(exportRequest)->filterIndex, 1);
    EXPECT_FALSE(FixedNameChooser(std::nullopt).saveFileChoice(exportRequest));
}

}  // namespace
}  // namespace wp2
