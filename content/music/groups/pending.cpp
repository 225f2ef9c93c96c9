// Tunes not composed yet: generating them fails loudly.
#include "content/music/tunes.h"
#include <stdexcept>
namespace music {
Module silentNight() {
    throw std::runtime_error("not composed yet");
}
Module northernLights() {
    throw std::runtime_error("not composed yet");
}
Module oHolyNight() {
    throw std::runtime_error("not composed yet");
}
Module polarDrift() {
    throw std::runtime_error("not composed yet");
}
Module nutcrackerMarch() {
    throw std::runtime_error("not composed yet");
}
Module tinParade() {
    throw std::runtime_error("not composed yet");
}
Module kingWenceslas() {
    throw std::runtime_error("not composed yet");
}
Module hollyAndIvy() {
    throw std::runtime_error("not composed yet");
}
Module wassailSong() {
    throw std::runtime_error("not composed yet");
}
Module greensleeves() {
    throw std::runtime_error("not composed yet");
}
Module frozenCircuit() {
    throw std::runtime_error("not composed yet");
}
Module blizzard() {
    throw std::runtime_error("not composed yet");
}
Module oComeAllYe() {
    throw std::runtime_error("not composed yet");
}
Module joyToTheWorld() {
    throw std::runtime_error("not composed yet");
}
Module harkTheHerald() {
    throw std::runtime_error("not composed yet");
}
Module firstNoel() {
    throw std::runtime_error("not composed yet");
}
Module oChristmasTree() {
    throw std::runtime_error("not composed yet");
}
Module angelsWeHave() {
    throw std::runtime_error("not composed yet");
}
Module awayInAManger() {
    throw std::runtime_error("not composed yet");
}
Module bleakMidwinter() {
    throw std::runtime_error("not composed yet");
}
Module snowballFight() {
    throw std::runtime_error("not composed yet");
}
Module blackIce() {
    throw std::runtime_error("not composed yet");
}
Module avalanche() {
    throw std::runtime_error("not composed yet");
}
Module auldLangSyne() {
    throw std::runtime_error("not composed yet");
}
Module bubble() {
    throw std::runtime_error("not composed yet");
}
} // namespace music
