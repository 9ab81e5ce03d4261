#include "saver/music_player.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "startup/run_state.h"
#include "startup/saver_settings.h"
#include "support/recording_media.h"
#include "support/scripted_clock.h"
#include "support/scripted_random.h"

namespace vistaloom {
namespace {

using testing::RecordingMedia;

struct MusicFixture : ::testing::Test {
    RunState run;
    SaverSettings settings;
    testing::ScriptedRandom random;
    testing::ScriptedClock clock;
    std::vector<std::string> custom;
    std::vector<int32_t> asked;  // item numbers the extractor was asked for
    RecordingMedia media;
    MusicContext music{run, settings, random, custom, [this](int32_t item) {
                           asked.push_back(item);
                           return "/tmp/items/img_xyz.mid";
                       }};

    // Plays tracks one after the other, each to its end, and returns the track numbers.
    std::vector<int32_t> play_tracks(int n) {
        std::vector<int32_t> tracks;
        for (int i = 0; i < n; ++i) {
            play_next_track(music, media);
            tracks.push_back(run.music_track);
            media.finish_track();
            MMControl1_StatusUpdate(music, media);
        }
        return tracks;
    }
};

TEST_F(MusicFixture, InOrderFromTheFirstTrack) {
    settings.random_music = "0";
    run.music_track = 0;
    run.music_count = 3;
    EXPECT_EQ(play_tracks(4), (std::vector<int32_t>{1, 2, 3, 1}));
    EXPECT_EQ(asked, (std::vector<int32_t>{3, 4, 5, 3}));
    EXPECT_EQ(media.played.size(), 4u);
}

TEST_F(MusicFixture, RandomOrderReseedsAndDrawsFromAllTracks) {
    settings.random_music = "1";
    run.music_count = 3;
    random.values = {0.0, 0.99, 0.5, 0.5};
    EXPECT_EQ(play_tracks(4), (std::vector<int32_t>{1, 3, 2, 2}));
    EXPECT_EQ(random.reseeds, 4);
}

TEST_F(MusicFixture, NothingStartsWhileATrackPlays) {
    settings.random_music = "0";
    run.music_count = 2;
    play_next_track(music, media);
    MMControl1_StatusUpdate(music, media);  // still playing
    play_next_track(music, media);
    EXPECT_EQ(media.played.size(), 1u);
    EXPECT_EQ(run.music_playing, 1);
}

TEST_F(MusicFixture, PlayingAFileStopsClosesThenOpensAndPlays) {
    play_music_file(music, "/x/img_xyz.mid", media);
    EXPECT_EQ(media.log, (std::vector<std::string>{"Stop", "Close", "Notify=1", "Wait=0",
                                                   "Shareable=0", "DeviceType=Sequencer",
                                                   "FileName=/x/img_xyz.mid", "Open", "Play"}));
    EXPECT_EQ(run.music_playing, 1);
}

TEST_F(MusicFixture, DeviceTypeComesFromTheEndingInAnyLetterCase) {
    EXPECT_EQ(device_type_for("a/img_xyz.mid", settings), "Sequencer");
    EXPECT_EQ(device_type_for("a/img_xyz.Rmi", settings), "Sequencer");
    EXPECT_EQ(device_type_for("a/img_xyz.WAV", settings), "WaveAudio");
    EXPECT_EQ(device_type_for("a/img_xyz.mp3", settings), "MPEGVideo");
    EXPECT_EQ(device_type_for("a/img_xyz.ogg", settings), "");
    EXPECT_EQ(device_type_for("3", settings), "");

    // An unknown ending keeps the type that was set before.
    play_music_file(music, "/x/a.wav", media);
    play_music_file(music, "/x/a.ogg", media);
    EXPECT_EQ(media.device_type, "WaveAudio");
}

TEST_F(MusicFixture, AThemeWithoutTracksAsksForNoItemAndOpensNothing) {
    settings.random_music = "0";
    run.music_count = 0;
    play_next_track(music, media);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(media.count("Open"), 0);
    EXPECT_EQ(run.music_playing, 0);
}

TEST_F(MusicFixture, AFailedExtractionIsNotHandedToThePlayer) {
    settings.random_music = "0";
    run.music_count = 2;
    music.extract_item = [](int32_t) { return std::string("False"); };
    play_next_track(music, media);
    EXPECT_EQ(media.count("Open"), 0);
    EXPECT_EQ(run.music_playing, 0);
    EXPECT_EQ(run.music_track, 1);  // the next step tries the next track
}

// Without a working audio device every Open fails: each track is copied out and tried once,
// then the run goes on silently instead of rewriting a track's file every music step.
TEST_F(MusicFixture, WithoutAudioEachTrackIsTriedOnce) {
    for (const char* shuffle : {"0", "1"}) {
        SCOPED_TRACE(shuffle);
        asked.clear();
        media.commands.clear();
        music.failed_tracks.clear();
        settings.random_music = shuffle;
        run.music_count = 3;
        media.fail_opens = true;
        random.values = {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5};
        for (int step = 0; step < 10; ++step) {
            play_next_track(music, media);
            MMControl1_StatusUpdate(music, media);
            EXPECT_EQ(run.music_playing, 0);
        }
        std::vector<int32_t> sorted = asked;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, (std::vector<int32_t>{3, 4, 5}));
        EXPECT_EQ(media.count("Open"), 3);
    }
}

// A track that cannot be copied out or opened is passed over; the others keep playing.
TEST_F(MusicFixture, AFailedTrackIsPassedOverAndTheOthersRepeat) {
    settings.random_music = "0";
    run.music_count = 3;
    music.extract_item = [this](int32_t item) {
        asked.push_back(item);
        return std::string(item == 4 ? "False" : "/tmp/items/img_xyz.mid");
    };
    std::vector<int32_t> started;
    for (int step = 0; step < 6; ++step) {
        play_next_track(music, media);
        if (run.music_playing == 1) started.push_back(run.music_track);
        media.finish_track();
        MMControl1_StatusUpdate(music, media);
    }
    EXPECT_EQ(started, (std::vector<int32_t>{1, 3, 1, 3, 1}));
    EXPECT_EQ(asked, (std::vector<int32_t>{3, 4, 5, 3, 5, 3}));

    // A file the device refuses counts the same: track 3 fails once and is not asked again.
    music.extract_item = [this](int32_t item) {
        asked.push_back(item);
        return std::string("/tmp/items/img_xyz.mid");
    };
    asked.clear();
    media.fail_opens = true;
    play_next_track(music, media);
    MMControl1_StatusUpdate(music, media);
    media.fail_opens = false;
    for (int step = 0; step < 3; ++step) {
        play_next_track(music, media);
        media.finish_track();
        MMControl1_StatusUpdate(music, media);
    }
    EXPECT_EQ(asked, (std::vector<int32_t>{5, 3, 3, 3}));
}

TEST_F(MusicFixture, CustomListWithoutEntriesPlaysNothing) {
    settings.custom_music_flag = "1";
    settings.random_music = "0";
    play_next_track(music, media);
    EXPECT_EQ(media.count("Open"), 0);
    custom = {"", "/music/one.wav"};
    run.custom_music_count = 1;
    play_next_track(music, media);
    EXPECT_EQ(media.filename, "/music/one.wav");
    EXPECT_TRUE(asked.empty());
}

TEST_F(MusicFixture, StopClosesAndIdles) {
    run.music_playing = 1;
    stop_music(music, media);
    EXPECT_EQ(media.commands, (std::vector<std::string>{"Stop", "Close"}));
    EXPECT_EQ(run.music_playing, 0);
}

}  // namespace
}  // namespace vistaloom
