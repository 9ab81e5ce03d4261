#include <QtTest>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sdl_media_device.h"

using namespace vistaloom;

namespace {

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
void put32be(std::vector<uint8_t>& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back((v >> shift) & 0xFF);
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A mono 16-bit PCM WAV of a 440 Hz sine.
void write_sine_wav(const std::string& path, double seconds) {
    const uint32_t rate = 22050;
    const auto samples = static_cast<uint32_t>(rate * seconds);
    std::vector<uint8_t> b;
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put32(b, 36 + samples * 2);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(b, 16);
    put16(b, 1);  // PCM
    put16(b, 1);  // mono
    put32(b, rate);
    put32(b, rate * 2);
    put16(b, 2);
    put16(b, 16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, samples * 2);
    for (uint32_t i = 0; i < samples; ++i) {
        const auto v = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * i / rate));
        put16(b, static_cast<uint16_t>(v));
    }
    write_file(path, b);
}

// A type-0 MIDI file: four quarter-ish notes on a piano at 120 bpm, about one second.
void write_midi(const std::string& path) {
    std::vector<uint8_t> track;
    const uint8_t notes[] = {60, 64, 67, 72};
    for (uint8_t n : notes) {
        track.insert(track.end(), {0x00, 0x90, n, 100});  // note on, no delay
        track.insert(track.end(), {0x30, 0x80, n, 0});    // note off after 48 ticks
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});  // end of track
    std::vector<uint8_t> b;
    b.insert(b.end(), {'M', 'T', 'h', 'd'});
    put32be(b, 6);
    b.insert(b.end(), {0x00, 0x00, 0x00, 0x01, 0x00, 0x60});  // format 0, 1 track, 96 per beat
    b.insert(b.end(), {'M', 'T', 'r', 'k'});
    put32be(b, static_cast<uint32_t>(track.size()));
    b.insert(b.end(), track.begin(), track.end());
    write_file(path, b);
}

// A dense type-0 tune: a chord of eight notes every tenth of a second for `seconds`, so that
// playing it into memory takes the synthesizer seconds.
void write_dense_midi(const std::string& path, int seconds) {
    std::vector<uint8_t> track;
    for (int step = 0; step < seconds * 10; ++step) {
        for (uint8_t n = 0; n < 8; ++n)
            track.insert(track.end(),
                         {0x00, 0x90, static_cast<uint8_t>(40 + n * 5 + step % 7), 100});
        // 19 ticks of 96 per beat at 120 bpm: about a tenth of a second.
        for (uint8_t n = 0; n < 8; ++n)
            track.insert(track.end(), {static_cast<uint8_t>(n == 0 ? 19 : 0), 0x80,
                                       static_cast<uint8_t>(40 + n * 5 + step % 7), 0});
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> b;
    b.insert(b.end(), {'M', 'T', 'h', 'd'});
    put32be(b, 6);
    b.insert(b.end(), {0x00, 0x00, 0x00, 0x01, 0x00, 0x60});
    b.insert(b.end(), {'M', 'T', 'r', 'k'});
    put32be(b, static_cast<uint32_t>(track.size()));
    b.insert(b.end(), track.begin(), track.end());
    write_file(path, b);
}

// Polls mode() until it equals `want` or the time runs out; returns the milliseconds it took,
// or -1 on timeout.
qint64 wait_for_mode(MediaDevice& device, int want, int timeout_ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeout_ms) {
        if (device.mode() == want) return timer.elapsed();
        QTest::qWait(10);
    }
    return -1;
}

void open_file(MediaDevice& device, const std::string& type, const std::string& path,
               bool wait = false) {
    device.set_notify(true);
    device.set_wait(wait);
    device.set_shareable(false);
    device.set_device_type(type);
    device.set_filename(path);
    device.command("Open");
}

}  // namespace

class SdlMediaTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::string short_wav_, long_wav_, midi_, garbage_;

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        const std::string base = dir_.path().toStdString() + "/";
        short_wav_ = base + "short.wav";
        long_wav_ = base + "long.wav";
        midi_ = base + "tune.mid";
        garbage_ = base + "garbage.wav";
        write_sine_wav(short_wav_, 0.3);
        write_sine_wav(long_wav_, 5.0);
        write_midi(midi_);
        std::vector<uint8_t> junk(4096);
        for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<uint8_t>(i * 7919 % 251);
        write_file(garbage_, junk);
    }

    void short_wav_plays_and_then_reports_stopped() {
        SdlMediaDevice device;
        QCOMPARE(device.mode(), MediaDevice::kModeNotOpen);
        open_file(device, "WaveAudio", short_wav_);
        QVERIFY2(device.audio_open(), device.last_error().c_str());
        QCOMPARE(device.device_type(), std::string("WaveAudio"));
        QCOMPARE(device.mode(), MediaDevice::kModeStopped);  // open, not yet playing
        device.command("Play");
        QCOMPARE(device.mode(), MediaDevice::kModePlaying);
        const qint64 took = wait_for_mode(device, MediaDevice::kModeStopped, 5000);
        QVERIFY2(took >= 0, "the track never finished");
        // It really played for about its length rather than stopping at once.
        QVERIFY2(took >= 200, qPrintable(QString::number(took)));
        device.command("Stop");
        device.command("Close");
        QCOMPARE(device.mode(), MediaDevice::kModeNotOpen);
    }

    void stop_play_close_and_reopen_while_playing() {
        SdlMediaDevice device;
        open_file(device, "WaveAudio", long_wav_);
        device.command("Play");
        QCOMPARE(device.mode(), MediaDevice::kModePlaying);
        QTest::qWait(100);
        device.command("Stop");
        QCOMPARE(device.mode(), MediaDevice::kModeStopped);
        device.command("Play");
        QCOMPARE(device.mode(), MediaDevice::kModePlaying);
        // Opening another file while one plays replaces it instead of leaking the first.
        open_file(device, "WaveAudio", short_wav_);
        QCOMPARE(device.mode(), MediaDevice::kModeStopped);
        device.command("Play");
        QVERIFY(wait_for_mode(device, MediaDevice::kModeStopped, 5000) >= 0);
        open_file(device, "WaveAudio", long_wav_);
        device.command("Play");
        device.command("Close");
        QCOMPARE(device.mode(), MediaDevice::kModeNotOpen);
        // Commands on a closed device are harmless.
        device.command("Play");
        device.command("Stop");
        device.command("Close");
        device.command("Rewind");
        QCOMPARE(device.mode(), MediaDevice::kModeNotOpen);
    }

    void unreadable_files_report_stopped_and_do_not_block_the_next_track() {
        SdlMediaDevice device;
        const std::string missing = dir_.path().toStdString() + "/missing.mid";
        for (const std::string& bad : {missing, garbage_, std::string("False")}) {
            for (bool wait : {true, false}) {
                open_file(device, "Sequencer", bad, wait);
                device.command("Play");
                // Stopped, so the next music step moves on instead of waiting forever.
                QVERIFY(wait_for_mode(device, MediaDevice::kModeStopped, 5000) >= 0);
                QVERIFY(!device.last_error().empty());
                device.command("Play");
                QCOMPARE(device.mode(), MediaDevice::kModeStopped);
                device.command("Stop");
                device.command("Close");
                QCOMPARE(device.mode(), MediaDevice::kModeNotOpen);
            }
        }
        open_file(device, "WaveAudio", short_wav_);
        device.command("Play");
        QCOMPARE(device.mode(), MediaDevice::kModePlaying);
        device.command("Close");
    }

    void midi_plays_through_the_soundfont_without_stalling_the_caller() {
        if (qEnvironmentVariableIsEmpty("SDL_SOUNDFONTS") &&
            !QFileInfo::exists(SdlMediaDevice::kDefaultSoundFont) &&
            !QFileInfo::exists(SdlMediaDevice::kAlternativeSoundFont)) {
            QSKIP("no General MIDI SoundFont installed");
        }
        SdlMediaDevice device;
        open_file(device, "WaveAudio", short_wav_, true);  // the audio device is up
        QElapsedTimer timer;
        timer.start();
        open_file(device, "Sequencer", midi_);
        device.command("Play");
        // Loading the SoundFont takes far longer than this; it happens off the caller's thread.
        QVERIFY2(timer.elapsed() < 250, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(device.mode(), MediaDevice::kModePlaying);
        const qint64 took = wait_for_mode(device, MediaDevice::kModeStopped, 10000);
        QVERIFY2(took >= 0, device.last_error().c_str());
        QVERIFY2(device.last_error().empty(), device.last_error().c_str());
        QVERIFY2(took >= 1000, qPrintable(QString::number(took)));  // the tune lasts a second

        // Closing while a load is under way waits for it and frees it.
        open_file(device, "Sequencer", midi_);
        device.command("Play");
        device.command("Close");
        QCOMPARE(device.mode(), MediaDevice::kModeNotOpen);
        open_file(device, "Sequencer", midi_);
    }

    // A theme's tune repeats all run long: the second time it plays from memory and lasts as
    // long as the first; a WAV file named .mid is not taken for MIDI.
    void a_tune_played_again_lasts_as_long_and_a_misnamed_file_still_plays() {
        if (!QFileInfo::exists(SdlMediaDevice::kDefaultSoundFont) &&
            !QFileInfo::exists(SdlMediaDevice::kAlternativeSoundFont)) {
            QSKIP("no General MIDI SoundFont installed");
        }
        SdlMediaDevice device;
        qint64 took[2] = {0, 0};
        for (qint64& t : took) {
            open_file(device, "Sequencer", midi_);
            device.command("Play");
            t = wait_for_mode(device, MediaDevice::kModeStopped, 15000);
            QVERIFY2(t >= 1000, qPrintable(QString::number(t)));
            QVERIFY2(device.last_error().empty(), device.last_error().c_str());
        }
        // The first time also built the synthesizer; the second is not longer.
        QVERIFY2(took[1] <= took[0] + 500, qPrintable(QString::number(took[1])));
        QVERIFY(!device.loading());
        const std::string misnamed = dir_.path().toStdString() + "/tone.mid";
        QFile::copy(QString::fromStdString(short_wav_), QString::fromStdString(misnamed));
        open_file(device, "Sequencer", misnamed);
        device.command("Play");
        QVERIFY2(wait_for_mode(device, MediaDevice::kModeStopped, 5000) >= 0,
                 device.last_error().c_str());
        QVERIFY2(device.last_error().empty(), device.last_error().c_str());
    }

    // The saver's window goes when the music closes: that must not wait for a tune still
    // being played into memory on the worker thread.
    void closing_does_not_wait_for_a_tune_being_synthesised() {
        if (!QFileInfo::exists(SdlMediaDevice::kDefaultSoundFont) &&
            !QFileInfo::exists(SdlMediaDevice::kAlternativeSoundFont)) {
            QSKIP("no General MIDI SoundFont installed");
        }
        const std::string dense = dir_.path().toStdString() + "/dense.mid";
        write_dense_midi(dense, 230);
        SdlMediaDevice device;
        // The synthesizer is built once, by a short tune, so the dense one is pure synthesis.
        open_file(device, "Sequencer", midi_);
        QVERIFY(wait_for_mode(device, MediaDevice::kModeStopped, 15000) >= 0);
        open_file(device, "Sequencer", dense);
        device.command("Play");
        QTest::qWait(100);
        QVERIFY(device.loading());
        QElapsedTimer timer;
        timer.start();
        device.command("Stop");
        device.command("Close");
        QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(device.mode(), MediaDevice::kModeNotOpen);
        // The abandoned synthesis gives up at once: the next tune plays normally.
        open_file(device, "Sequencer", midi_);
        device.command("Play");
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(device.mode(), MediaDevice::kModePlaying);
        device.command("Close");
    }

    // A tune too long to keep in memory plays live; when it comes round again (the theme's
    // tracks repeat) it must play live at once, not be synthesised up to the limit again.
    void a_tune_too_long_to_keep_plays_live_at_once_when_it_comes_again() {
        if (!QFileInfo::exists(SdlMediaDevice::kDefaultSoundFont) &&
            !QFileInfo::exists(SdlMediaDevice::kAlternativeSoundFont)) {
            QSKIP("no General MIDI SoundFont installed");
        }
        const std::string tune = dir_.path().toStdString() + "/long.mid";
        write_dense_midi(tune, 250);
        SdlMediaDevice device;
        qint64 took[2] = {0, 0};
        for (qint64& t : took) {
            QElapsedTimer timer;
            timer.start();
            open_file(device, "Sequencer", tune);
            device.command("Play");
            while (device.mode() == MediaDevice::kModePlaying && device.loading() &&
                   timer.elapsed() < 30000)
                QTest::qWait(5);
            t = timer.elapsed();
            QCOMPARE(device.mode(), MediaDevice::kModePlaying);
            device.command("Close");
        }
        QVERIFY2(took[0] > 400, qPrintable(QString::number(took[0])));
        QVERIFY2(took[1] * 4 < took[0],
                 qPrintable(QString("%1 then %2").arg(took[0]).arg(took[1])));
    }

    // Fields the decoders divide by are checked before the file reaches them: a WAV of 0
    // channels used to end the process with SIGFPE.
    void a_wav_with_a_broken_header_is_refused_not_played() {
        SdlMediaDevice device;
        for (int field : {22, 24, 32}) {  // channels, sample rate, block size
            std::ifstream in(short_wav_, std::ios::binary);
            std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
            b[static_cast<size_t>(field)] = 0;
            b[static_cast<size_t>(field) + 1] = 0;
            if (field == 24) b[26] = b[27] = 0;
            const std::string broken = dir_.path().toStdString() + "/broken.wav";
            write_file(broken, b);
            for (bool wait : {true, false}) {
                open_file(device, "WaveAudio", broken, wait);
                device.command("Play");
                QVERIFY(wait_for_mode(device, MediaDevice::kModeStopped, 5000) >= 0);
                QVERIFY(device.open_failed());
                QVERIFY(!device.last_error().empty());
                device.command("Close");
            }
        }
    }

    void a_second_device_stays_silent_and_leaves_the_first_alone() {
        SdlMediaDevice first;
        {
            SdlMediaDevice second;
            QVERIFY(first.owns_music_channel());
            QVERIFY(!second.owns_music_channel());
            open_file(first, "WaveAudio", long_wav_);
            first.command("Play");
            open_file(second, "WaveAudio", short_wav_);
            second.command("Play");
            QCOMPARE(second.mode(), MediaDevice::kModeStopped);
            second.command("Stop");
            second.command("Close");
        }
        QCOMPARE(first.mode(), MediaDevice::kModePlaying);
        first.command("Close");
    }

    void no_audio_device_means_silence_not_a_crash() {
        const QByteArray saved = qgetenv("SDL_AUDIODRIVER");
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        {
            SdlMediaDevice device;
            open_file(device, "WaveAudio", short_wav_);
            QVERIFY(!device.audio_open());
            QVERIFY(device.open_failed());  // so the saver does not try this track again
            QCOMPARE(device.mode(), MediaDevice::kModeStopped);
            device.command("Play");
            QCOMPARE(device.mode(), MediaDevice::kModeStopped);
            device.command("Stop");
            device.command("Close");
        }
        if (saved.isEmpty()) {
            qunsetenv("SDL_AUDIODRIVER");
        } else {
            qputenv("SDL_AUDIODRIVER", saved);
        }
        // And the process can still get sound afterwards.
        SdlMediaDevice device;
        open_file(device, "WaveAudio", short_wav_);
        device.command("Play");
        QCOMPARE(device.mode(), MediaDevice::kModePlaying);
        device.command("Close");
    }
};

QTEST_GUILESS_MAIN(SdlMediaTest)
#include "sdl_media_qt_test.moc"
