// MPRIS 2 on sd-bus: the two interfaces' methods and properties, the change signals.
#include "desktop/mpris.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <systemd/sd-bus.h>
#include <time.h>
#include <vector>

namespace desktop {

namespace {

constexpr const char* PATH = "/org/mpris/MediaPlayer2";
constexpr const char* ROOT = "org.mpris.MediaPlayer2";
constexpr const char* PLAYER = "org.mpris.MediaPlayer2.Player";
constexpr const char* NO_TRACK = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
// A position that strays this far from where playing would have taken it was moved: Seeked.
constexpr std::int64_t JUMP_US = 1500000;

struct Service {
    sd_bus* bus = nullptr;
    sd_bus_slot* rootSlot = nullptr;
    sd_bus_slot* playerSlot = nullptr;
    MediaControl control{};
    MediaState shown; // what the properties answer and the last signal told
    std::int64_t lastPositionUs = 0;
    std::int64_t lastPositionAt = 0; // monotonic µs
};

std::unique_ptr<Service> service;

std::int64_t monotonicUs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

Service& svc(void* userdata) {
    return *static_cast<Service*>(userdata);
}

const char* trackOf(const MediaState& s) {
    return s.trackId.empty() ? NO_TRACK : s.trackId.c_str();
}

int emitSeeked(Service& s, std::int64_t us) {
    s.lastPositionUs = us;
    s.lastPositionAt = monotonicUs();
    return sd_bus_emit_signal(s.bus, PATH, PLAYER, "Seeked", "x", us);
}

// Methods.

template <void (*MediaControl::*Call)()>
int call(sd_bus_message* m, void* userdata, sd_bus_error*) {
    (svc(userdata).control.*Call)();
    return sd_bus_reply_method_return(m, "");
}

int seek(sd_bus_message* m, void* userdata, sd_bus_error*) {
    Service& s = svc(userdata);
    std::int64_t offset = 0;
    if (const int r = sd_bus_message_read(m, "x", &offset); r < 0) return r;
    const std::int64_t target = std::max<std::int64_t>(0, s.control.positionUs() + offset);
    if (s.shown.lengthUs > 0 && target > s.shown.lengthUs) {
        s.control.next(); // past the end: as Next
    } else if (const std::int64_t reached = s.control.seekTo(target); reached >= 0) {
        emitSeeked(s, reached);
    }
    return sd_bus_reply_method_return(m, "");
}

int setPosition(sd_bus_message* m, void* userdata, sd_bus_error*) {
    Service& s = svc(userdata);
    const char* track = nullptr;
    std::int64_t position = 0;
    if (const int r = sd_bus_message_read(m, "ox", &track, &position); r < 0) return r;
    // Only for the tune that plays, and only inside it; anything else is ignored.
    if (track && s.shown.trackId == track && position >= 0 &&
        (s.shown.lengthUs == 0 || position <= s.shown.lengthUs))
        if (const std::int64_t reached = s.control.seekTo(position); reached >= 0)
            emitSeeked(s, reached);
    return sd_bus_reply_method_return(m, "");
}

int openUri(sd_bus_message*, void*, sd_bus_error* error) {
    return sd_bus_error_set(error, SD_BUS_ERROR_NOT_SUPPORTED, "Tinselwave opens no URIs");
}

// Properties.

int getString(sd_bus_message* reply, const std::string& s) {
    return sd_bus_message_append(reply, "s", s.c_str());
}

int constantProperty(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply,
                     void*, sd_bus_error*) {
    const std::string p = property;
    if (p == "Identity") return sd_bus_message_append(reply, "s", "Tinselwave");
    if (p == "DesktopEntry") return sd_bus_message_append(reply, "s", "tinselwave");
    if (p == "SupportedUriSchemes" || p == "SupportedMimeTypes")
        return sd_bus_message_append(reply, "as", 0);
    if (p == "Rate" || p == "MinimumRate" || p == "MaximumRate")
        return sd_bus_message_append(reply, "d", 1.0);
    if (p == "CanQuit" || p == "CanRaise" || p == "CanGoNext" || p == "CanGoPrevious" ||
        p == "CanPlay" || p == "CanPause" || p == "CanSeek" || p == "CanControl")
        return sd_bus_message_append(reply, "b", 1);
    return sd_bus_message_append(reply, "b", 0); // HasTrackList, Fullscreen, CanSetFullscreen
}

int appendEntry(sd_bus_message* reply, const char* key, const char* type, auto value) {
    int r = sd_bus_message_open_container(reply, 'e', "sv");
    if (r >= 0) r = sd_bus_message_append(reply, "s", key);
    if (r >= 0) r = sd_bus_message_open_container(reply, 'v', type);
    if (r >= 0) r = sd_bus_message_append(reply, type, value);
    if (r >= 0) r = sd_bus_message_close_container(reply);
    if (r >= 0) r = sd_bus_message_close_container(reply);
    return r;
}

int metadata(sd_bus_message* reply, const MediaState& s) {
    int r = sd_bus_message_open_container(reply, 'a', "{sv}");
    if (r >= 0) r = appendEntry(reply, "mpris:trackid", "o", trackOf(s));
    if (!s.trackId.empty()) {
        if (r >= 0 && s.lengthUs > 0) r = appendEntry(reply, "mpris:length", "x", s.lengthUs);
        if (r >= 0) r = appendEntry(reply, "xesam:title", "s", s.title.c_str());
        if (r >= 0) {
            r = sd_bus_message_open_container(reply, 'e', "sv");
            if (r >= 0) r = sd_bus_message_append(reply, "s", "xesam:artist");
            if (r >= 0) r = sd_bus_message_open_container(reply, 'v', "as");
            if (r >= 0) r = sd_bus_message_append(reply, "as", 1, s.artist.c_str());
            if (r >= 0) r = sd_bus_message_close_container(reply);
            if (r >= 0) r = sd_bus_message_close_container(reply);
        }
        if (r >= 0) r = appendEntry(reply, "xesam:album", "s", s.album.c_str());
        if (r >= 0 && !s.artUrl.empty())
            r = appendEntry(reply, "mpris:artUrl", "s", s.artUrl.c_str());
    }
    if (r >= 0) r = sd_bus_message_close_container(reply);
    return r;
}

int playerProperty(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply,
                   void* userdata, sd_bus_error*) {
    const Service& s = svc(userdata);
    const std::string p = property;
    if (p == "PlaybackStatus") return getString(reply, s.shown.status);
    if (p == "LoopStatus") return getString(reply, s.shown.loopStatus);
    if (p == "Shuffle") return sd_bus_message_append(reply, "b", s.shown.shuffle ? 1 : 0);
    if (p == "Volume") return sd_bus_message_append(reply, "d", s.shown.volume);
    if (p == "Position") return sd_bus_message_append(reply, "x", s.control.positionUs());
    return metadata(reply, s.shown);
}

int setPlayerProperty(sd_bus*, const char*, const char*, const char* property,
                      sd_bus_message* value, void* userdata, sd_bus_error*) {
    Service& s = svc(userdata);
    const std::string p = property;
    if (p == "Volume") {
        double v = 0;
        if (const int r = sd_bus_message_read(value, "d", &v); r < 0) return r;
        s.control.setVolume(std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 1.0);
    } else if (p == "Shuffle") {
        int on = 0;
        if (const int r = sd_bus_message_read(value, "b", &on); r < 0) return r;
        s.control.setShuffle(on != 0);
    } else if (p == "LoopStatus") {
        const char* status = nullptr;
        if (const int r = sd_bus_message_read(value, "s", &status); r < 0) return r;
        s.control.setLoopStatus(status ? status : "");
    } else {
        double rate = 1; // Rate: only 1 is possible, and setting it does nothing
        return sd_bus_message_read(value, "d", &rate);
    }
    return 1;
}

constexpr auto CONST_PROPERTY = SD_BUS_VTABLE_PROPERTY_CONST;
constexpr auto CHANGES = SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE;

const sd_bus_vtable rootTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Raise", "", "", (call<&MediaControl::raise>), 0),
    SD_BUS_METHOD("Quit", "", "", (call<&MediaControl::quit>), 0),
    SD_BUS_PROPERTY("CanQuit", "b", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("CanRaise", "b", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("Fullscreen", "b", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("CanSetFullscreen", "b", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("HasTrackList", "b", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("Identity", "s", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("DesktopEntry", "s", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("SupportedUriSchemes", "as", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("SupportedMimeTypes", "as", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable playerTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Next", "", "", (call<&MediaControl::next>), 0),
    SD_BUS_METHOD("Previous", "", "", (call<&MediaControl::previous>), 0),
    SD_BUS_METHOD("Pause", "", "", (call<&MediaControl::pause>), 0),
    SD_BUS_METHOD("PlayPause", "", "", (call<&MediaControl::playPause>), 0),
    SD_BUS_METHOD("Stop", "", "", (call<&MediaControl::stop>), 0),
    SD_BUS_METHOD("Play", "", "", (call<&MediaControl::play>), 0),
    SD_BUS_METHOD("Seek", "x", "", seek, 0),
    SD_BUS_METHOD("SetPosition", "ox", "", setPosition, 0),
    SD_BUS_METHOD("OpenUri", "s", "", openUri, 0),
    SD_BUS_SIGNAL("Seeked", "x", 0),
    SD_BUS_PROPERTY("PlaybackStatus", "s", playerProperty, 0, CHANGES),
    SD_BUS_WRITABLE_PROPERTY("LoopStatus", "s", playerProperty, setPlayerProperty, 0, CHANGES),
    SD_BUS_WRITABLE_PROPERTY("Rate", "d", constantProperty, setPlayerProperty, 0, CHANGES),
    SD_BUS_WRITABLE_PROPERTY("Shuffle", "b", playerProperty, setPlayerProperty, 0, CHANGES),
    SD_BUS_PROPERTY("Metadata", "a{sv}", playerProperty, 0, CHANGES),
    SD_BUS_WRITABLE_PROPERTY("Volume", "d", playerProperty, setPlayerProperty, 0, CHANGES),
    SD_BUS_PROPERTY("Position", "x", playerProperty, 0, 0),
    SD_BUS_PROPERTY("MinimumRate", "d", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("MaximumRate", "d", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("CanGoNext", "b", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("CanGoPrevious", "b", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("CanPlay", "b", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("CanPause", "b", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("CanSeek", "b", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_PROPERTY("CanControl", "b", constantProperty, 0, CONST_PROPERTY),
    SD_BUS_VTABLE_END,
};

// The player properties that differ between two states.
std::vector<const char*> changed(const MediaState& a, const MediaState& b) {
    std::vector<const char*> names;
    if (a.status != b.status) names.push_back("PlaybackStatus");
    if (a.trackId != b.trackId || a.title != b.title || a.artist != b.artist ||
        a.album != b.album || a.artUrl != b.artUrl || a.lengthUs != b.lengthUs)
        names.push_back("Metadata");
    if (a.volume != b.volume) names.push_back("Volume");
    if (a.shuffle != b.shuffle) names.push_back("Shuffle");
    if (a.loopStatus != b.loopStatus) names.push_back("LoopStatus");
    return names;
}

// A position that did not move as playing moves it (a tune that looped back, a seek by key).
void tellJumps(Service& s, const MediaState& now) {
    const std::int64_t position = s.control.positionUs(), at = monotonicUs();
    const std::int64_t expected =
        s.lastPositionUs + (now.status == "Playing" ? at - s.lastPositionAt : 0);
    const bool sameTrack = now.trackId == s.shown.trackId && !now.trackId.empty();
    if (sameTrack && std::llabs(position - expected) > JUMP_US) emitSeeked(s, position);
    s.lastPositionUs = position;
    s.lastPositionAt = at;
}

} // namespace

bool mprisStart(const MediaControl& control, const char* busName) {
    mprisStop();
    auto s = std::make_unique<Service>();
    s->control = control;
    // Without a session bus, or with the name taken, the disk plays as it always did.
    if (sd_bus_open_user(&s->bus) < 0) return false;
    const bool ok =
        sd_bus_add_object_vtable(s->bus, &s->rootSlot, PATH, ROOT, rootTable, s.get()) >= 0 &&
        sd_bus_add_object_vtable(s->bus, &s->playerSlot, PATH, PLAYER, playerTable, s.get()) >= 0 &&
        sd_bus_request_name(s->bus, busName, 0) >= 0;
    if (!ok) {
        sd_bus_slot_unref(s->rootSlot);
        sd_bus_slot_unref(s->playerSlot);
        sd_bus_flush_close_unref(s->bus);
        return false;
    }
    s->shown = control.state();
    s->lastPositionUs = control.positionUs();
    s->lastPositionAt = monotonicUs();
    service = std::move(s);
    return true;
}

void mprisStep() {
    if (!service) return;
    Service& s = *service;
    int r = 0;
    while ((r = sd_bus_process(s.bus, nullptr)) > 0) {
    }
    if (r < 0) { // the bus went away: play on without it
        mprisStop();
        return;
    }
    const MediaState now = s.control.state();
    tellJumps(s, now);
    std::vector<const char*> names = changed(s.shown, now);
    s.shown = now;
    if (!names.empty()) {
        names.push_back(nullptr);
        sd_bus_emit_properties_changed_strv(s.bus, PATH, PLAYER, const_cast<char**>(names.data()));
    }
    sd_bus_flush(s.bus);
}

void mprisStop() {
    if (!service) return;
    sd_bus_slot_unref(service->rootSlot);
    sd_bus_slot_unref(service->playerSlot);
    sd_bus_flush_close_unref(service->bus);
    service.reset();
}

bool mprisRunning() {
    return service != nullptr;
}

} // namespace desktop
