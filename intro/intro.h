#pragma once
// The intro: its process-wide state, the timeline and the sequences it runs.
#include <cstdint>

#include "audio/music.h"
#include "console/console.h"
#include "data/archive.h"
#include "engine/settings.h"
#include "intro/services.h"

namespace intro {

// Music positions: pattern order in the high 16 bits, row in the low 16 bits.
constexpr std::uint32_t musicPos(std::uint32_t order, std::uint32_t row) {
    return order << 16 | row;
}

struct IntroState {
    const IntroServices* services = nullptr;
    DataArchive* archive = nullptr;
    PtcConsole* console = nullptr;
    PtcSurface* frameSurface = nullptr;
    PtcSurface* previousSurface = nullptr;
    int introAborted = 0;
    MusicFlag musicRunning{1};
};

extern IntroState introState;

// The library's module handle, stored by its load-time attach routine.
extern void* moduleHandle;

// The whole intro: 0 after a run (an aborted one too), 1 when a frame surface could not be
// made. Fatal scene errors end the process with status 1.
int RunIntro(void* module);

// Loads, prepares, plays and frees one scene of the data file with the engine settings in force.
void PlayScene(const char* sceneFile, const engine::PresentArea& area);
// The frame loop of the loaded scene, presenting each frame in the area.
void PlayFrames(scene::Scene* scene, scene::Camera* camera, const engine::PresentArea& area);
// Milliseconds per frame at the given rate (integer division: 30 at 33 frames a second).
int FrameTime(int framesPerSecond);

// The picture sequences.
void ShowLogo();
void ShowPictures();
void FadeToBlack();

// weight[i] = trunc((64 - i) * 0.015625 * 255) = 255 - 4i.
void BuildWeightTable(int weights[64]);

// Pacing: returns at once when the music is already at or past the position, else sleeps about
// a millisecond between polls.
void WaitForPosition(std::uint32_t position);
// Shows the frame surface (whole when area is null) and exchanges the two surfaces.
void PresentAndSwap(const PtcArea* area);

} // namespace intro
