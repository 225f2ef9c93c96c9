// MPRIS on a private session bus of the test's own (a real dbus-daemon), asked by a client on
// another thread as a desktop would: what the player is and plays, requests that reach it,
// seeking, and the signals of every change.
#include "desktop/mpris.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <map>
#include <string>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using desktop::MediaState;

constexpr const char* PATH = "/org/mpris/MediaPlayer2";
constexpr const char* PLAYER = "org.mpris.MediaPlayer2.Player";
constexpr const char* NAME = "org.mpris.MediaPlayer2.tinselwavetest";

// A session bus for the test alone.
class PrivateBus {
  public:
    PrivateBus() {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            const int quiet = open("/dev/null", O_WRONLY);
            if (quiet >= 0) dup2(quiet, 2); // it complains of the fd limit it may not raise
            execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--print-address=1",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        char buf[512];
        std::string line;
        for (ssize_t n;
             line.find('\n') == std::string::npos && (n = read(out[0], buf, sizeof buf)) > 0;)
            line.append(buf, static_cast<std::size_t>(n));
        close(out[0]);
        address_ = line.substr(0, line.find('\n'));
        setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    }
    ~PrivateBus() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    bool up() const { return !address_.empty(); }

  private:
    pid_t pid_ = -1;
    std::string address_;
};

// The player as the test makes it up: what it shows, and what it was asked.
MediaState shown;
std::int64_t positionUs = 0;
std::vector<std::string> asked;

const desktop::MediaControl control{
    [] { return shown; },
    [] { return positionUs; },
    [] { asked.push_back("raise"); },
    [] { asked.push_back("quit"); },
    [] { asked.push_back("play"); },
    [] { asked.push_back("pause"); },
    [] { asked.push_back("playpause"); },
    [] { asked.push_back("stop"); },
    [] { asked.push_back("next"); },
    [] { asked.push_back("previous"); },
    [](std::int64_t us) {
        asked.push_back("seek " + std::to_string(us));
        positionUs = us;
        return us;
    },
    [](double v) { asked.push_back("volume " + std::to_string(v)); },
    [](bool on) { asked.push_back(on ? "shuffle on" : "shuffle off"); },
    [](const std::string& s) { asked.push_back("loop " + s); },
};

class Mpris : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!bus.up()) GTEST_SKIP() << "no dbus-daemon to start a bus with";
        shown = MediaState{};
        shown.status = "Playing";
        shown.trackId = "/org/tinselwave/track/6";
        shown.title = "Jingle Bëlls";
        shown.artist = "frostbyte";
        shown.album = "Tinselwave";
        shown.lengthUs = 112000000;
        shown.volume = 0.75;
        positionUs = 10000000;
        asked.clear();
        ASSERT_TRUE(desktop::mprisStart(control, NAME));
    }
    void TearDown() override { desktop::mprisStop(); }

    // Runs a client on a thread of its own while the player steps, as its frames would.
    void asClient(const std::function<void(sd_bus*)>& client) {
        std::atomic<bool> done{false};
        std::thread t([&] {
            sd_bus* b = nullptr;
            ASSERT_GE(sd_bus_open_user(&b), 0);
            client(b);
            sd_bus_flush_close_unref(b);
            done = true;
        });
        for (int i = 0; i < 20000 && !done; ++i) {
            desktop::mprisStep();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        t.join();
    }
    static void call(sd_bus* b, const char* interface, const char* method) {
        sd_bus_error e = SD_BUS_ERROR_NULL;
        EXPECT_GE(sd_bus_call_method(b, NAME, PATH, interface, method, &e, nullptr, ""), 0)
            << method << ": " << (e.message ? e.message : "");
        sd_bus_error_free(&e);
    }
    static std::string stringProperty(sd_bus* b, const char* interface, const char* name) {
        char* v = nullptr;
        EXPECT_GE(sd_bus_get_property_string(b, NAME, PATH, interface, name, nullptr, &v), 0)
            << name;
        std::string s = v ? v : "";
        std::free(v);
        return s;
    }

    PrivateBus bus;
};

// The Metadata dictionary as strings (arrays joined by commas).
std::map<std::string, std::string> readMetadata(sd_bus* b) {
    std::map<std::string, std::string> out;
    sd_bus_message* reply = nullptr;
    EXPECT_GE(sd_bus_get_property(b, NAME, PATH, PLAYER, "Metadata", nullptr, &reply, "a{sv}"), 0);
    sd_bus_message_enter_container(reply, 'a', "{sv}");
    while (sd_bus_message_enter_container(reply, 'e', "sv") > 0) {
        const char* key = nullptr;
        sd_bus_message_read(reply, "s", &key);
        const std::string k = key;
        char type;
        const char* contents = nullptr;
        sd_bus_message_peek_type(reply, &type, &contents);
        sd_bus_message_enter_container(reply, 'v', contents);
        if (std::string(contents) == "x") {
            std::int64_t x = 0;
            sd_bus_message_read(reply, "x", &x);
            out[k] = std::to_string(x);
        } else if (std::string(contents) == "as") {
            sd_bus_message_enter_container(reply, 'a', "s");
            for (const char* s = nullptr; sd_bus_message_read(reply, "s", &s) > 0;)
                out[k] += (out[k].empty() ? "" : ",") + std::string(s);
            sd_bus_message_exit_container(reply);
        } else {
            const char* s = nullptr;
            sd_bus_message_read(reply, contents, &s);
            out[k] = s ? s : "";
        }
        sd_bus_message_exit_container(reply);
        sd_bus_message_exit_container(reply);
    }
    sd_bus_message_unref(reply);
    return out;
}

TEST_F(Mpris, SaysWhatItIsAndWhatPlays) {
    asClient([&](sd_bus* b) {
        EXPECT_EQ(stringProperty(b, "org.mpris.MediaPlayer2", "Identity"), "Tinselwave");
        EXPECT_EQ(stringProperty(b, "org.mpris.MediaPlayer2", "DesktopEntry"), "tinselwave");
        EXPECT_EQ(stringProperty(b, PLAYER, "PlaybackStatus"), "Playing");
        EXPECT_EQ(stringProperty(b, PLAYER, "LoopStatus"), "None");
        const auto m = readMetadata(b);
        EXPECT_EQ(m.at("mpris:trackid"), "/org/tinselwave/track/6");
        EXPECT_EQ(m.at("xesam:title"), "Jingle Bëlls");
        EXPECT_EQ(m.at("xesam:artist"), "frostbyte");
        EXPECT_EQ(m.at("xesam:album"), "Tinselwave");
        EXPECT_EQ(m.at("mpris:length"), "112000000");
        EXPECT_EQ(m.count("mpris:artUrl"), 0u); // none given, none told
        std::int64_t position = 0;
        sd_bus_message* reply = nullptr;
        ASSERT_GE(sd_bus_get_property(b, NAME, PATH, PLAYER, "Position", nullptr, &reply, "x"), 0);
        sd_bus_message_read(reply, "x", &position);
        sd_bus_message_unref(reply);
        EXPECT_EQ(position, 10000000);
        int flag = 0;
        EXPECT_GE(sd_bus_get_property_trivial(b, NAME, PATH, "org.mpris.MediaPlayer2",
                                              "HasTrackList", nullptr, 'b', &flag),
                  0);
        EXPECT_EQ(flag, 0);
        for (const char* can :
             {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause", "CanSeek", "CanControl"}) {
            EXPECT_GE(sd_bus_get_property_trivial(b, NAME, PATH, PLAYER, can, nullptr, 'b', &flag),
                      0);
            EXPECT_EQ(flag, 1) << can;
        }
    });
}

TEST_F(Mpris, EveryRequestReachesThePlayer) {
    asClient([&](sd_bus* b) {
        for (const char* m : {"Next", "Previous", "Play", "Pause", "PlayPause", "Stop"})
            call(b, PLAYER, m);
        call(b, "org.mpris.MediaPlayer2", "Raise");
        call(b, "org.mpris.MediaPlayer2", "Quit");
        EXPECT_GE(sd_bus_set_property(b, NAME, PATH, PLAYER, "Volume", nullptr, "d", 0.5), 0);
        EXPECT_GE(sd_bus_set_property(b, NAME, PATH, PLAYER, "Volume", nullptr, "d", 7.0), 0);
        EXPECT_GE(sd_bus_set_property(b, NAME, PATH, PLAYER, "Shuffle", nullptr, "b", 1), 0);
        EXPECT_GE(
            sd_bus_set_property(b, NAME, PATH, PLAYER, "LoopStatus", nullptr, "s", "Playlist"), 0);
        sd_bus_error e = SD_BUS_ERROR_NULL;
        EXPECT_LT(
            sd_bus_call_method(b, NAME, PATH, PLAYER, "OpenUri", &e, nullptr, "s", "file:///x"), 0);
        sd_bus_error_free(&e);
    });
    EXPECT_EQ(asked, (std::vector<std::string>{"next", "previous", "play", "pause", "playpause",
                                               "stop", "raise", "quit", "volume 0.500000",
                                               "volume 1.000000", "shuffle on", "loop Playlist"}));
}

TEST_F(Mpris, SeekingMovesFromWhereItIsAndSaysWhereItLanded) {
    std::vector<std::int64_t> seeked;
    asClient([&](sd_bus* b) {
        sd_bus_slot* slot = nullptr;
        auto onSeeked = [](sd_bus_message* m, void* user, sd_bus_error*) {
            std::int64_t us = 0;
            sd_bus_message_read(m, "x", &us);
            static_cast<std::vector<std::int64_t>*>(user)->push_back(us);
            return 0;
        };
        ASSERT_GE(sd_bus_match_signal(b, &slot, NAME, PATH, PLAYER, "Seeked", onSeeked, &seeked),
                  0);
        EXPECT_GE(sd_bus_call_method(b, NAME, PATH, PLAYER, "Seek", nullptr, nullptr, "x", 5000000),
                  0);
        // Another track's position, or one past the end, is ignored; past the end by Seek: Next.
        EXPECT_GE(sd_bus_call_method(b, NAME, PATH, PLAYER, "SetPosition", nullptr, nullptr, "ox",
                                     "/org/tinselwave/track/7", 1000000),
                  0);
        EXPECT_GE(sd_bus_call_method(b, NAME, PATH, PLAYER, "SetPosition", nullptr, nullptr, "ox",
                                     "/org/tinselwave/track/6", 999000000),
                  0);
        EXPECT_GE(sd_bus_call_method(b, NAME, PATH, PLAYER, "SetPosition", nullptr, nullptr, "ox",
                                     "/org/tinselwave/track/6", 30000000),
                  0);
        EXPECT_GE(
            sd_bus_call_method(b, NAME, PATH, PLAYER, "Seek", nullptr, nullptr, "x", 500000000), 0);
        for (int i = 0; i < 2000 && seeked.size() < 2; ++i) {
            sd_bus_process(b, nullptr);
            sd_bus_wait(b, 1000);
        }
        sd_bus_slot_unref(slot);
    });
    EXPECT_EQ(asked, (std::vector<std::string>{"seek 15000000", "seek 30000000", "next"}));
    EXPECT_EQ(seeked, (std::vector<std::int64_t>{15000000, 30000000}));
}

TEST_F(Mpris, EveryChangeIsSignalledOnce) {
    std::vector<std::string> changedNames;
    std::atomic<bool> subscribed{false};
    std::thread client([&] {
        sd_bus* b = nullptr;
        ASSERT_GE(sd_bus_open_user(&b), 0);
        sd_bus_slot* slot = nullptr;
        auto onChange = [](sd_bus_message* m, void* user, sd_bus_error*) {
            const char* interface = nullptr;
            sd_bus_message_read(m, "s", &interface);
            sd_bus_message_enter_container(m, 'a', "{sv}");
            while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
                const char* name = nullptr;
                sd_bus_message_read(m, "s", &name);
                static_cast<std::vector<std::string>*>(user)->push_back(name);
                sd_bus_message_skip(m, "v");
                sd_bus_message_exit_container(m);
            }
            return 0;
        };
        ASSERT_GE(sd_bus_match_signal(b, &slot, NAME, PATH, "org.freedesktop.DBus.Properties",
                                      "PropertiesChanged", onChange, &changedNames),
                  0);
        sd_bus_flush(b);
        subscribed = true;
        for (int i = 0; i < 3000 && changedNames.size() < 4; ++i) {
            sd_bus_process(b, nullptr);
            sd_bus_wait(b, 1000);
        }
        sd_bus_slot_unref(slot);
        sd_bus_flush_close_unref(b);
    });
    while (!subscribed) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto steps = [](int n) {
        for (int i = 0; i < n; ++i) {
            desktop::mprisStep();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    };
    steps(5); // nothing changed: nothing said
    shown.status = "Paused";
    steps(5);
    shown.trackId = "/org/tinselwave/track/7"; // a tune random play chose
    shown.title = "deck the halls";
    shown.shuffle = true;
    steps(5);
    shown.volume = 0.5;
    steps(200);
    client.join();
    EXPECT_EQ(changedNames,
              (std::vector<std::string>{"PlaybackStatus", "Metadata", "Shuffle", "Volume"}));
}

TEST_F(Mpris, ASecondPlayerOrNoBusLeavesThePlayerAsItWas) {
    // Another player holds the name: this one plays on without the bus.
    desktop::mprisStop();
    sd_bus* other = nullptr;
    ASSERT_GE(sd_bus_open_user(&other), 0);
    ASSERT_GE(sd_bus_request_name(other, NAME, 0), 0);
    EXPECT_FALSE(desktop::mprisStart(control, NAME));
    EXPECT_FALSE(desktop::mprisRunning());
    desktop::mprisStep(); // harmless when not started
    sd_bus_flush_close_unref(other);
    const std::string saved = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedRuntime = runtime ? runtime : "";
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
    setenv("XDG_RUNTIME_DIR", "/nonexistent", 1);
    EXPECT_FALSE(desktop::mprisStart(control, NAME));
    setenv("DBUS_SESSION_BUS_ADDRESS", saved.c_str(), 1);
    if (runtime)
        setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

} // namespace
