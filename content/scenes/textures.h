#pragma once
// The scenes' textures, painted in code. Every picture is 256 x 256; the same call gives the
// same bytes on every machine.
#include <vector>

#include "content/scenes/texture_file.h"

namespace scenes {

// Smooth noise in 0..1 that repeats every `period` texels in both directions.
float tiledNoise(float x, float y, int period, unsigned seed);

art::Image paintSky();         // night sky: gradient, a green glow low down, stars; tiles in u
art::Image paintTrackBed();    // snowed sleepers and two rails, running along u
art::Image paintCarriage();    // red coach side with a row of lit windows and gold trim
art::Image paintBoiler();      // light map of dark green enamel with a cold highlight
art::Image paintWheel();       // spoked red wheel with its counterweight, mapped round a lathe
art::Image paintSteam();       // soft grey-white puff
art::Image paintWarmLight();   // warm window light spilling on snow
art::Image paintLamp();        // warm-white light pool (colours of the headlamp's light)
IndexedImage paintLampKey();   // its transparency: clear at the rim, dense near the lamp
IndexedImage paintSnow();      // moonlit snow with drifts and sparkles
IndexedImage paintPine();      // needles in layers with snow on the branches
art::Image paintLogs();        // the cabin's log wall
art::Image paintWindow();      // warm cabin window: frame, cross bars, curtains, lamp glow
art::Image paintDoor();        // planked door with iron bands
art::Image paintBauble();      // light map of blue glass
art::Image paintAurora();      // curtain colours of the aurora
IndexedImage paintAuroraKey(); // its transparency: rays that fade out at the top
art::Image paintMoon();        // pale moon with soft maria

// Every texture file of both scenes, named as the materials name them.
std::vector<TextureFile> allTextures();

} // namespace scenes
