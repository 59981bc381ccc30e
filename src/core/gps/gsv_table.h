#pragma once
// Satellites in view, from GSV sentences of any talker. The table has two
// halves of 12 records: one published (read by the sky view) and one being
// built from the messages of the current GSV group. A finished group is
// published by swapping the halves, so readers never see a half-built set.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace wp2 {

struct SatelliteInfo {
    std::int32_t prn = 0;
    std::int32_t snr = 0;        // as sent; 0 when the field is empty
    std::int32_t elevation = 0;  // degrees
    std::int32_t azimuth = 0;    // degrees
    std::uint8_t filled = 0;
};

class GsvTable {
public:
    static constexpr int kHalf = 12;

    virtual ~GsvTable() = default;

    // Offered every line. False for lines that are not GSV sentences and for
    // a GSV without a message count; true when the sentence was read.
    bool decode(std::u16string_view line);

    // The i-th record of the published half, none when it is not filled.
    std::optional<SatelliteInfo> satellite(int i) const;
    int publishedCount() const { return publishedCount_; }
    int builtCount() const { return builtCount_; }
    int publishedOffset() const { return publishedOffset_; }

    // From the last GSV sentence read.
    int totalMessages() const { return totalMessages_; }
    int messageNumber() const { return messageNumber_; }
    int inView() const { return inView_; }

private:
    void clearBuilding();
    void publish();

    std::array<SatelliteInfo, 2 * kHalf> records_{};
    int publishedOffset_ = 0;
    int buildingOffset_ = kHalf;
    int publishedCount_ = 0;
    int builtCount_ = 0;
    int totalMessages_ = 0;
    int messageNumber_ = 0;
    int inView_ = 0;
};

}  // namespace wp2
