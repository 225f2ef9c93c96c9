#pragma once
// One builder per tune; each group of the collection has its own file and sound.

#include "content/music/module.h"

namespace music {

// frostbyte: chip
Module jingleBells();
Module deckTheHalls();
Module icicleRun();
// the bellfounders: FM bells in 3/4
Module carolOfTheBells();
// sleighride ensemble: 4-channel MOD, plucked strings and sleigh bells
Module godRestYe();
Module weWishYou();
Module sleighTracks();
// aurora pads
Module silentNight();
Module northernLights();
Module oHolyNight();
Module polarDrift();
// tin soldiers: marches on 4-channel MOD
Module nutcrackerMarch();
Module tinParade();
// hearthside folk
Module kingWenceslas();
Module hollyAndIvy();
Module wassailSong();
Module greensleeves();
// snowdrift: saw leads and acid bass
Module frozenCircuit();
Module blizzard();
// the carolling machine
Module oComeAllYe();
Module joyToTheWorld();
Module harkTheHerald();
Module firstNoel();
Module oChristmasTree();
Module angelsWeHave();
Module awayInAManger();
// midnight choir
Module bleakMidwinter();
// icepick: breakbeats on 4-channel MOD
Module snowballFight();
Module blackIce();
Module avalanche();
// the last candle: music box
Module auldLangSyne();
// the end tune
Module bubble();

} // namespace music
