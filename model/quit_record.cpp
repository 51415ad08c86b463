#include "model/quit_record.h"

namespace kalverin {

const char* const kDefaultPrimaryText =
    "{^{*{>{A}{*{-Y} year{#Yl}, }{*{-M} month{#Ml}, }{*{-W} week{#Wl}, }{*{-D} day{#Dl}, }{1}"
    "{*{-h} hour{#hl}, }{+m} minute{#ml} and {+s} second{#sl}.} {1}{^{+C}} cigarette{#Cl} not "
    "smoked, saving {+$}. Life saved: {1}{*{-U} year{#Ul}, }{*{-I} week{#Il}, }{*{-O} day{#Ol}, "
    "}{*{-j} hour{#jl}, }{+k} minute{#kl}.}}{*{<I will quit smoking in {^{A}{*{-Y} year{#Yl}, "
    "}{*{-M} month{#Ml}, }{*{-W} week{#Wl}, }{*{-D} day{#Dl}, }{1}{*{-h} hour{#hl}, }{+m} "
    "minute{#ml} and {+s} second{#sl}.}}}";

void recomputeRates(QuitRecord& record) {
    // The constants are single precision as stored; the products are formed in double
    // precision and rounded to single precision when stored.
    const double hundredth = static_cast<double>(0.01f);
    const double perMinute = static_cast<double>(1.0f / 1440.0f);
    record.minutesPerDay = kMinutesPerDay;
    if (record.cigarettesPerPack == 0) {
        record.moneyPerMinute = 0.0f;
    } else {
        double packPrice = record.packPriceWhole + record.packPriceHundredths * hundredth;
        record.moneyPerMinute =
            static_cast<float>(record.cigarettesPerDay * (packPrice / record.cigarettesPerPack) * perMinute);
    }
    record.cigarettesPerMinute = static_cast<float>(record.cigarettesPerDay * perMinute);
}

}  // namespace kalverin
