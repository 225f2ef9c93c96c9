#include "content/music/catalogue.h"

#include "content/music/tunes.h"
#include "content/music/writers.h"

namespace music {

const std::vector<TuneEntry>& catalogue() {
    static const std::vector<TuneEntry> list = {
        {"jingle.xm", 112, jingleBells},      {"deckhall.xm", 100, deckTheHalls},
        {"icicle.xm", 124, icicleRun},        {"bellcarl.xm", 130, carolOfTheBells},
        {"godrest.mod", 108, godRestYe},      {"wewish.mod", 96, weWishYou},
        {"sleigh.mod", 120, sleighTracks},    {"silent.xm", 160, silentNight},
        {"northern.xm", 170, northernLights}, {"holynite.xm", 150, oHolyNight},
        {"polar.xm", 140, polarDrift},        {"nutcrack.mod", 104, nutcrackerMarch},
        {"tinparad.mod", 110, tinParade},     {"wencesla.xm", 116, kingWenceslas},
        {"hollyivy.xm", 122, hollyAndIvy},    {"wassail.xm", 106, wassailSong},
        {"greenslv.xm", 144, greensleeves},   {"frozen.xm", 156, frozenCircuit},
        {"blizzard.xm", 148, blizzard},       {"ocome.xm", 118, oComeAllYe},
        {"joyworld.xm", 102, joyToTheWorld},  {"hark.xm", 126, harkTheHerald},
        {"firstnoe.xm", 134, firstNoel},      {"otannen.xm", 110, oChristmasTree},
        {"angels.xm", 128, angelsWeHave},     {"manger.xm", 114, awayInAManger},
        {"midwintr.xm", 164, bleakMidwinter}, {"snowball.mod", 112, snowballFight},
        {"blackice.mod", 132, blackIce},      {"avalanch.mod", 120, avalanche},
        {"auldlang.xm", 152, auldLangSyne},   {"bubble.mod", 40, bubble},
    };
    return list;
}

std::vector<uint8_t> renderTune(const TuneEntry& t) {
    Module m = t.build();
    return m.format == Format::Mod ? writeMod(m) : writeXm(m);
}

} // namespace music
