// The block a transfer travels in between two programs: what goes in comes
// out bit for bit, and a block cut short, or not ours, is refused whole
// without reading past its end (ASan would see it) or allocating for a
// count it cannot hold.
#include "pcdata/ReadingBundle.h"
#include "PcDataTestSupport.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

std::vector<TStoreReading> Varied() {
    auto readings = MadeUpReadings(3, 5, 42);
    readings[0].MachineName = "Насос «1»\n\"A\"";
    readings[0].Overload = true;
    readings[0].Orientation = -1;
    readings[1].Samples = {INT16_MIN, -1, 0, 1, INT16_MAX};
    readings[1].Results.Value[4] = std::numeric_limits<float>::denorm_min();
    readings[2].Samples.clear();
    readings[2].Time = 0;
    readings[2].Condition.clear();
    return readings;
}

TEST(ReadingBundleTest, ReadingsComeBackBitForBit) {
    for (const auto& sent : {std::vector<TStoreReading>{}, Varied()}) {
        std::vector<TStoreReading> got;
        std::string error;
        ASSERT_TRUE(UnpackReadings(PackReadings(sent), got, error)) << error;
        ASSERT_EQ(got.size(), sent.size());
        for (std::size_t i = 0; i < sent.size(); ++i) {
            SCOPED_TRACE(i);
            const TStoreReading &a = sent[i], &b = got[i];
            EXPECT_EQ(std::tie(a.PointKey, a.MachineKey, a.MachineName, a.Label, a.Condition),
                      std::tie(b.PointKey, b.MachineKey, b.MachineName, b.Label, b.Condition));
            EXPECT_EQ(std::tie(a.Orientation, a.Kind, a.Overload, a.Samples),
                      std::tie(b.Orientation, b.Kind, b.Overload, b.Samples));
            EXPECT_EQ(std::memcmp(&a.Time, &b.Time, sizeof a.Time), 0);
            EXPECT_EQ(std::memcmp(a.Results.Value.data(), b.Results.Value.data(), sizeof a.Results.Value), 0);
        }
    }
}

TEST(ReadingBundleTest, ABlockNotWholeOrNotOursIsRefusedWhole) {
    const std::string packed = PackReadings(Varied());
    std::vector<std::string> bad;
    for (std::size_t size = 0; size < packed.size(); size += size < 200 ? 1 : 997)
        bad.push_back(packed.substr(0, size));
    bad.push_back(packed.substr(0, packed.size() - 1));
    bad.push_back(packed + '\0');                                   // bytes past the end
    bad.push_back("ORXS" + packed.substr(4));                       // another magic
    bad.push_back(packed.substr(0, 4) + "\x02" + packed.substr(5)); // another version
    std::string huge = packed;
    huge.replace(6, 4, "\xff\xff\xff\x7f"); // a count no block could hold
    bad.push_back(huge);
    std::string overload = packed;
    // The first reading's overload byte, after its texts and fixed fields.
    const auto first = Varied()[0];
    std::size_t at = 10;
    for (const std::string* t :
         {&first.PointKey, &first.MachineKey, &first.MachineName, &first.Label, &first.Condition})
        at += 4 + t->size();
    at += 2 + 2 + 8 + 9 * 4;
    ASSERT_EQ(overload[at], '\x01');
    overload[at] = '\x02';
    bad.push_back(overload);

    for (const std::string& block : bad) {
        SCOPED_TRACE(block.size());
        std::vector<TStoreReading> got = MadeUpReadings(1, 1, 1);
        std::string error;
        EXPECT_FALSE(UnpackReadings(block, got, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(got.empty());
    }
}

} // namespace
