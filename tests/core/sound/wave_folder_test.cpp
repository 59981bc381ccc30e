#include "core/sound/wave_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace wp2 {
namespace {

TEST(WaveFolder, ListsWaveFilesOfAnyCaseInNameOrderFromTheWindowsFolder) {
    test::TempDir root(true);
    EXPECT_TRUE(listWaveFiles().empty());  // no folder yet
    EXPECT_TRUE(listWaveFiles(root.file("nowhere")).empty());
    std::string windows = root.file("Windows");
    std::filesystem::create_directories(windows + "/Folder.wav");
    for (const char* f : {"b.wav", "A.WAV", "c.Wav", "notes.txt", "wav", "x.wave", ".wav"}) {
        test::writeFile(windows + "/" + f, "x");
    }
    EXPECT_EQ(listWaveFiles(), (std::vector<std::string>{".wav", "A.WAV", "b.wav", "c.Wav"}));
    EXPECT_EQ(soundFilePath("Alarm1.wav"), root.path() + "/Windows/Alarm1.wav");
}

}  // namespace
}  // namespace wp2
