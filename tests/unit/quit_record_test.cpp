#include <gtest/gtest.h>

#include <cstring>

#include "model/quit_record.h"

namespace kalverin {
namespace {

TEST(QuitRecord, DefaultPrimaryTextHasItsLength) {
    EXPECT_EQ(std::strlen(kDefaultPrimaryText), 478u);
}

TEST(QuitRecord, RatesForTheExampleHabit) {
    QuitRecord r;
    r.cigarettesPerDay = 20;
    r.packPriceWhole = 4;
    r.packPriceHundredths = 50;
    r.cigarettesPerPack = 20;
    recomputeRates(r);
    const double hundredth = 0.01f, perMinute = 1.0f / 1440.0f;
    EXPECT_EQ(r.moneyPerMinute, static_cast<float>(20 * ((4 + 50 * hundredth) / 20) * perMinute));
    EXPECT_NEAR(r.moneyPerMinute, 0.003125, 1e-7);
    EXPECT_NEAR(r.cigarettesPerMinute, 0.0138889, 1e-7);
    r.cigarettesPerPack = 0;
    recomputeRates(r);
    EXPECT_EQ(r.moneyPerMinute, 0.0f);
}

}  // namespace
}  // namespace kalverin
