// Whole jobs through the options form with the real sources, sinks and codec modules: each target
// checked with ffprobe, failures in the errors form, cancelling, the title's percentage, and the
// refusal without the WMA module.
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QUrl>
#include <sys/mount.h>
#include <thread>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "engine/AudioSource.h"
#include "engine/OpenAudioSource.h"
#include "forms/ApplicationTitle.h"
#include "system/FileNames.h"
#include "system/SettingsStore.h"

using namespace formtest;

namespace {
void ChooseTarget(Forms& forms, const char* button, const std::string& folder) {
    forms.Control<QAbstractButton>(button)->click();
    forms.Control<QAbstractButton>("chkToThisFold")->click();
    forms.Control<QLineEdit>("txtToFolder")->setText(QString::fromStdString(folder));
}

// Reads the errors form's lines, then closes it.
ModalAnswerer::Answer ReadErrors(QString& lines) {
    return [&lines](QDialog* errors) {
        lines = Child<QPlainTextEdit>(errors, "txtProblems")->toPlainText();
        ModalAnswerer::ClickButton(errors, "&Ok");
    };
}

// A source that runs a hook on the worker's thread before its first block.
class HookedSource : public AudioSource {
public:
    HookedSource(std::unique_ptr<AudioSource> inner, std::function<void()> beforeFirstBlock)
        : inner_(std::move(inner)), hook_(std::move(beforeFirstBlock)) {}
    bool Pump() override {
        if (hook_) {
            std::exchange(hook_, {})();
        }
        return inner_->Pump();
    }
    void GetProgress(int32_t progress[2]) override { inner_->GetProgress(progress); }

private:
    std::unique_ptr<AudioSource> inner_;
    std::function<void()> hook_;
};

// The job's first block waits until stop, run on the GUI thread, has asked the worker to stop.
void StopInTheFirstBlock(OptionsForm& form, std::function<void()> stop) {
    form.Job().SetSourceFactory(
        [&form, stop](const char* path, const RowContext& row, ConversionError& code) {
            return std::make_unique<HookedSource>(OpenAudioSource(path, row, code), [&form, stop] {
                QMetaObject::invokeMethod(&form, stop, Qt::QueuedConnection);
                while (!form.Job().StopAsked()) {
                    std::this_thread::yield();
                }
            });
        });
}

// The closing message of a job cancelled while it converted input into output.
QString NotKept(const std::string& input, const std::string& output) {
    return QString::fromStdString("Conversion was cancelled.\n\nThe conversion of '" + input +
                                  "' to '" + output + "' was cancelled and not kept.");
}

// Two tones of 3 s, and the folder "out" beside them.
std::vector<std::string> TwoTones(const Scratch& scratch) {
    const std::vector<std::string> inputs = {scratch / "1.wav", scratch / "2.wav"};
    for (const std::string& input : inputs) {
        MakeTone(input, 3);
    }
    std::filesystem::create_directory(scratch / "out");
    return inputs;
}
} // namespace

void ConversionJobTest::jobToEachTarget() {
    Scratch scratch;
    MakeTone(scratch / "tone.wav", 1.5, 22050, 1, 8);
    Forms forms;
    std::vector<std::pair<QString, QString>> titles; // application title, window title
    QObject listener;                                // ends the connection with the test
    connect(
        &ApplicationTitle::Instance(), &ApplicationTitle::Changed, &listener,
        [&](const QString& title) { titles.emplace_back(title, forms.Options().windowTitle()); });

    const std::string stereo = "sample_rate=44100\nchannels=2\n";
    const struct {
        const char* button;
        std::string input, output, codec;
    } steps[] = {
        {"chkFormatMp3", scratch / "tone.wav", scratch / "tone.mp3", "codec_name=mp3\n"},
        {"chkFormatWma", scratch / "tone.mp3", scratch / "tone.wma", "codec_name=wmav2\n"},
        {"chkFormatWav", scratch / "tone.wma", scratch / "out/tone.wav", "codec_name=pcm_s16le\n"},
    };
    std::filesystem::create_directory(scratch / "out");
    for (const auto& step : steps) {
        forms.ShowWith({step.input});
        ChooseTarget(forms, step.button, GetFolderPart(step.output));
        titles.clear();
        ModalAnswerer answers;
        answers.Click("OK");
        forms.Convert();
        QCOMPARE(answers.Seen().size(), std::size_t{1});
        QCOMPARE(answers.Seen()[0].Text, "All files have now been converted.");
        QCOMPARE(answers.Seen()[0].Title, "BMC 100% Converted");
        QCOMPARE(Probe(step.output), step.codec + stereo);
        // The title carried the percentage from the start of the job to its end, and the
        // window's title followed it.
        // After the closing box the window has its name back.
        QVERIFY(titles.size() >= 3);
        QCOMPARE(titles.front().first, "BMC 0% Converted");
        QCOMPARE(titles[titles.size() - 2].first, "BMC 100% Converted");
        QCOMPARE(titles.back().first, "Brindlex Music Converter");
        for (const auto& [application, window] : titles) {
            QCOMPARE(window, application);
        }
    }
    QCOMPARE(forms.endProgram, 3);
    QCOMPARE(forms.backToSelector, 0);
}

// A newer format chosen with its options, then read back through the window as an input.
void ConversionJobTest::jobToANewFormatWithItsOptions() {
    Scratch scratch;
    MakeTone(scratch / "tone.wav", 1.5, 22050, 1, 16);
    std::filesystem::create_directory(scratch / "out");
    Forms forms;
    const auto convert = [&](const std::string& input, const char* button) {
        forms.ShowWith({input});
        ChooseTarget(forms, button, scratch / "out");
        ModalAnswerer answers;
        answers.Click("OK");
        forms.Convert();
        QCOMPARE(answers.Seen().size(), std::size_t{1});
        QCOMPARE(answers.Seen()[0].Text, "All files have now been converted.");
    };
    forms.ShowWith({});
    forms.Control<QAbstractButton>("chkFormatFlac")->click();
    forms.Control<QSpinBox>("BrConvFlacLevel")->setValue(0);
    auto* channels = forms.Control<QComboBox>("BrConvOutChannels");
    channels->setCurrentIndex(channels->findData(2));
    convert(scratch / "tone.wav", "chkFormatFlac");
    QCOMPARE(Probe(scratch / "out/tone.flac"), "codec_name=flac\nsample_rate=22050\nchannels=2\n");
    // Every frame, and level 0's blocks of 1,152 frames where level 5 takes 4,096.
    QCOMPARE(Run("metaflac --show-total-samples --show-max-blocksize '" +
                 scratch / "out/tone.flac" + "'"),
             "33075\n1152\n");

    channels->setCurrentIndex(channels->findData(0));
    forms.Control<QAbstractButton>("chkFormatOpus")->click();
    auto* opus = forms.Control<QComboBox>("BrConvOpusKbps");
    opus->setCurrentIndex(opus->findData(64));
    // Measured on the way, as Opus keeps a gain: a Q7.8 number, no ReplayGain field.
    auto* replayGain = forms.Control<QComboBox>("cmbReplayGain");
    replayGain->setCurrentIndex(replayGain->findText("track"));
    convert(scratch / "out/tone.flac", "chkFormatOpus");
    QCOMPARE(Probe(scratch / "out/tone.opus"), "codec_name=opus\nsample_rate=48000\nchannels=2\n");
    QCOMPARE(
        Run("/usr/bin/python3 -c 'import sys, mutagen; t = mutagen.File(sys.argv[1]).tags or {}; "
            "print(sorted(k.upper() for k in t.keys() if \"GAIN\" in k.upper()))' '" +
            scratch / "out/tone.opus" + "'"),
        "['R128_TRACK_GAIN']\n");
    replayGain->setCurrentIndex(0);

    // A variable bit rate takes the place of the constant one, whose list waits meanwhile.
    forms.Control<QAbstractButton>("chkFormatMp3")->click();
    auto* vbr = forms.Control<QComboBox>("BrConvMP3Vbr");
    vbr->setCurrentIndex(vbr->findText("V9 (smallest, about 65 kbit/s)"));
    QVERIFY(!forms.Control("BrConvMP3Bit")->isEnabled());
    convert(scratch / "out/tone.opus", "chkFormatMp3");
    QCOMPARE(Run("/usr/bin/python3 -c 'import sys, mutagen.mp3 as m; "
                 "print(m.MP3(sys.argv[1]).info.encoder_settings)' '" +
                 scratch / "out/tone.mp3" + "'"),
             "-V 9\n");
    vbr->setCurrentIndex(0);
    QVERIFY(forms.Control("BrConvMP3Bit")->isEnabled());
}

void ConversionJobTest::failuresEndInTheErrorsForm() {
    Scratch scratch;
    MakeTone(scratch / "good.wav", 0.5);
    std::ofstream(scratch / "junk.wav") << "not a wave file at all";
    std::ofstream(scratch / "notes.txt") << "text";
    Forms forms;
    forms.ShowWith({scratch / "junk.wav", scratch / "good.wav", scratch / "notes.txt"});
    ChooseTarget(forms, "chkFormatMp3", scratch.Path());
    QString lines;
    ModalAnswerer answers;
    answers.Then(ReadErrors(lines));
    forms.Convert();
    QCOMPARE(answers.Seen().size(), std::size_t{1});
    QCOMPARE(answers.Seen()[0].Kind, "ConversionErrorsDialog");
    QCOMPARE(lines, QString::fromStdString("Unable to read from '" + (scratch / "junk.wav") +
                                           "'.\n'.txt' file type is not supported. Error whilst "
                                           "converting '" +
                                           (scratch / "notes.txt") + "'."));
    QCOMPARE(Probe(scratch / "good.mp3"), "codec_name=mp3\nsample_rate=44100\nchannels=2\n");
    QCOMPARE(forms.backToSelector, 1);
    QVERIFY(forms.Options().isHidden());

    // A second run where every file fails: its own lines only, and never the success message.
    forms.ShowWith({scratch / "notes.txt"});
    answers.Then(ReadErrors(lines));
    forms.Convert();
    QCOMPARE(answers.Seen().size(), std::size_t{2});
    QCOMPARE(answers.Seen()[1].Kind, "ConversionErrorsDialog");
    QVERIFY(lines.startsWith("'.txt' file type is not supported."));
    QVERIFY(!lines.contains("junk"));
    QCOMPARE(forms.endProgram, 0);
    QCOMPARE(forms.backToSelector, 2);
}

// The errors form shows the command line's write line, the system's cause included.
void ConversionJobTest::aFullDiskNamesItsCauseInTheErrorsForm() {
    Scratch scratch;
    const std::string full = scratch / "full";
    std::filesystem::create_directory(full);
    if (mount("tmpfs", full.c_str(), "tmpfs", 0, "size=256k") != 0) {
        QSKIP("no small file system can be mounted here");
    }
    const std::unique_ptr<const char, int (*)(const char*)> mounted(full.c_str(), umount);
    MakeTone(scratch / "long.wav", 20);
    Forms forms;
    forms.ShowWith({scratch / "long.wav"});
    ChooseTarget(forms, "chkFormatMp3", full);
    QString lines;
    ModalAnswerer answers;
    answers.Then(ReadErrors(lines));
    forms.Convert();
    QCOMPARE(answers.Seen().size(), std::size_t{1});
    QCOMPARE(lines, QString::fromStdString("Unable to write to '" + full +
                                           "/long.mp3': no space left on device."));
    QVERIFY(std::filesystem::is_empty(full));
}

// A stored FLAC level of text, as another program may write it: the form shows the default,
// and each job's end names the value, in the errors form only when files failed.
void ConversionJobTest::unusableStoredSettingsAreToldAtTheEnd() {
    Scratch scratch;
    MakeTone(scratch / "good.wav", 0.5);
    std::ofstream(scratch / "junk.wav") << "not a wave file at all";
    StoreWriteNumber(0, StoreRoot::User, SettingsKey, "BrConvFlacLevel");
    Run("/usr/bin/python3 -c 'import sqlite3, sys; db = sqlite3.connect(sys.argv[1]); "
        "db.execute(\"UPDATE reg_values SET data = ? WHERE name = ?\", (\"abc\", "
        "\"BrConvFlacLevel\")); db.commit()' '" +
        scratch / "config/brindlex/registry.sqlite" + "'");
    const QString notice =
        "The stored setting BrConvFlacLevel = 'abc' is not valid; the default 5 is used.";
    Forms forms;
    QCOMPARE(forms.Control<QSpinBox>("BrConvFlacLevel")->value(), 5);
    forms.ShowWith({scratch / "junk.wav", scratch / "good.wav"});
    ChooseTarget(forms, "chkFormatFlac", scratch.Path());
    QString lines;
    ModalAnswerer answers;
    answers.Then(ReadErrors(lines));
    forms.Convert();
    QCOMPARE(lines, "Unable to read from '" + QString::fromStdString(scratch / "junk.wav") +
                        "'.\n" + notice);

    MakeTone(scratch / "other.wav", 0.5);
    forms.ShowWith({scratch / "other.wav"});
    answers.Click("OK");
    forms.Convert();
    QCOMPARE(answers.Seen().size(), std::size_t{2});
    QCOMPARE(answers.Seen()[1].Text, "All files have now been converted.\n\n" + notice);
    QCOMPARE(Run("metaflac --show-max-blocksize '" + scratch / "other.flac" + "'"), "4096\n");
}

// Verified outputs are counted at the end; a silent input measured for its ReplayGain is told
// there too, and is no failure. Its album is then the tone alone, held back until both were
// measured.
void ConversionJobTest::verifiedAndSilentFilesAreToldAtTheEnd() {
    Scratch scratch;
    MakeTone(scratch / "tone.wav", 1);
    Run("sox -q -n -r 44100 -c 2 -b 16 '" + scratch / "silence.wav" + "' trim 0 1");
    Forms forms;
    forms.ShowWith({scratch / "tone.wav", scratch / "silence.wav"});
    ChooseTarget(forms, "chkFormatFlac", scratch.Path());
    forms.Control<QAbstractButton>("chkVerifyOutputs")->click();
    auto* replayGain = forms.Control<QComboBox>("cmbReplayGain");
    replayGain->setCurrentIndex(replayGain->findText("album"));
    ModalAnswerer answers;
    answers.Click("OK");
    forms.Convert();
    QCOMPARE(answers.Seen().size(), std::size_t{1});
    QCOMPARE(answers.Seen()[0].Text,
             QString::fromStdString(
                 "All files have now been converted.\n\n2 converted, 2 verified, "
                 "0 failed\n\nNo ReplayGain for '" +
                 scratch / "silence.wav" + "': it is silent or shorter than 0.4 seconds."));
    QCOMPARE(Probe(scratch / "silence.flac"), "codec_name=flac\nsample_rate=44100\nchannels=2\n");
    const auto gain = [&](const std::string& name) {
        const std::string line =
            Run("metaflac --show-tag=" + name + " '" + scratch / "tone.flac" + "'");
        return line.substr(line.find('=') + 1);
    };
    QVERIFY(gain("REPLAYGAIN_TRACK_GAIN").ends_with(" dB\n"));
    QCOMPARE(gain("REPLAYGAIN_ALBUM_GAIN"), gain("REPLAYGAIN_TRACK_GAIN"));
}

// A FLAC album whose cue-sheet block lists tracks is converted whole unless the box is ticked.
void ConversionJobTest::albumsSplitByTheirOwnSheetWhenTheBoxIsTicked() {
    Scratch scratch;
    MakeTone(scratch / "album.flac", 6);
    Run("printf 'FILE \"album.flac\" FLAC\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n TRACK 02 "
        "AUDIO\n  INDEX 01 00:02:00\n' > '" +
        scratch / "album.txt" + "' && metaflac --import-cuesheet-from='" + scratch / "album.txt" +
        "' '" + scratch / "album.flac" + "'");
    Forms forms;
    ModalAnswerer answers;
    answers.Click("&Yes").Click("OK").Click("&Yes").Click("OK");
    forms.ShowWith({scratch / "album.flac"});
    ChooseTarget(forms, "chkFormatWav", scratch / "whole");
    forms.Convert();
    forms.ShowWith({scratch / "album.flac"});
    ChooseTarget(forms, "chkFormatWav", scratch / "split");
    forms.Control<QAbstractButton>("chkSplitEmbeddedSheets")->click();
    forms.Convert();
    QCOMPARE(answers.Seen().size(), std::size_t{4});
    QCOMPARE(Run("ls '" + scratch / "whole" + "'"), "album.wav\n");
    QCOMPARE(Run("ls '" + scratch / "split" + "'"), "01 - album.wav\n02 - album.wav\n");
}

void ConversionJobTest::cancelThenASecondJob() {
    Scratch scratch;
    const std::vector<std::string> inputs = TwoTones(scratch);
    Forms forms;
    // Back, then Yes, while the first file converts.
    OptionsForm& form = forms.Options();
    StopInTheFirstBlock(form, [&forms] { forms.Control<QAbstractButton>("cmdCancel")->click(); });
    forms.ShowWith(inputs);
    ChooseTarget(forms, "chkFormatMp3", scratch / "out");
    ModalAnswerer answers;
    answers.Click("&Yes").Click("OK");
    forms.Convert();
    QCOMPARE(answers.Seen().size(), std::size_t{2});
    QCOMPARE(answers.Seen()[0].Text, "Cancel Conversion and Quit?");
    QCOMPARE(answers.Seen()[1].Text, NotKept(inputs[0], scratch / "out/1.mp3"));
    QCOMPARE(forms.backToSelector, 1);
    // Stopped in the first file: nothing at its name, and nothing counted as converted.
    QVERIFY(!std::filesystem::exists(scratch / "out/1.mp3"));
    QVERIFY(!std::filesystem::exists(scratch / "out/2.mp3"));
    QCOMPARE(forms.Control<QLabel>("lblCounter")->text(), "Converted 0 of 2");

    form.Job().SetSourceFactory(OpenAudioSource);
    forms.ShowWith(inputs);
    answers.Click("OK"); // nothing to overwrite
    forms.Convert();
    QCOMPARE(answers.Seen().at(2).Text, "All files have now been converted.");
    QCOMPARE(Probe(scratch / "out/1.mp3"), "codec_name=mp3\nsample_rate=44100\nchannels=2\n");
    QCOMPARE(Probe(scratch / "out/2.mp3"), "codec_name=mp3\nsample_rate=44100\nchannels=2\n");
    QCOMPARE(forms.endProgram, 1);
}

void ConversionJobTest::endingTheProgramStopsTheJobAndAsksNothing() {
    Scratch scratch;
    const std::vector<std::string> inputs = TwoTones(scratch);
    Forms forms;
    OptionsForm& form = forms.Options();
    StopInTheFirstBlock(form, [&form] { form.Job().EndForQuit(); });
    forms.ShowWith(inputs);
    ChooseTarget(forms, "chkFormatMp3", scratch / "out");
    ModalAnswerer answers;
    forms.Convert();
    QVERIFY(answers.Seen().empty());
    QCOMPARE(forms.endProgram, 1);
    QCOMPARE(forms.backToSelector, 0);
    QVERIFY(!std::filesystem::exists(scratch / "out/1.mp3"));
    QVERIFY(!std::filesystem::exists(scratch / "out/2.mp3"));

    // Nothing starts once the program is ending.
    forms.ShowWith(inputs);
    forms.Convert();
    QVERIFY(!std::filesystem::exists(scratch / "out/2.mp3"));
}

void ConversionJobTest::wmaWithoutItsModuleStartsNothing() {
    Scratch scratch;
    std::filesystem::create_directory(scratch / "no-codecs");
    MakeTone(scratch / "in.wav", 0.5);
    std::ofstream(scratch / "song.WMA") << "x";
    Forms forms({scratch / "no-codecs/"});
    forms.ShowWith({scratch / "in.wav"});
    ChooseTarget(forms, "chkFormatWma", scratch.Path());
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    ModalAnswerer answers;
    answers.Click("&No");
    forms.Convert();
    QCOMPARE(answers.Seen().at(0).Text,
             "Unable to convert to a Microsoft Audio 4 file as the correct components are not "
             "installed. To install the correct components, download and install the 'Windows "
             "Media Audio 4 Codec' from the Brindlex Download page.\n\nJump to Brindlex's "
             "Download Page?");
    QVERIFY(catcher.opened.isEmpty());
    QVERIFY(!forms.Control("panOptions")->isHidden());
    QVERIFY(forms.Control("cmdConvert")->isEnabled());
    QVERIFY(!std::filesystem::exists(scratch / "in.wma"));

    // A .wma input with another target: the other sentence, and Yes opens the download page.
    forms.ShowWith({scratch / "in.wav", scratch / "song.WMA"});
    forms.Control<QAbstractButton>("chkFormatWav")->click();
    answers.Click("&Yes");
    forms.Convert();
    QVERIFY(answers.Seen().at(1).Text.startsWith(
        "Unable to convert from a Microsoft Audio 4 file as the correct components"));
    QCOMPARE(catcher.opened.size(), 1);
    QVERIFY(catcher.opened[0].toString().endsWith("/music-converter-download.htm"));
    QCOMPARE(answers.Seen().size(), std::size_t{2}); // no overwrite question: nothing started
    QDesktopServices::unsetUrlHandler("https");

    // A newer format's module is named with where it was looked for; MP3 files fail one by one
    // in the job instead, as they always have.
    forms.ShowWith({scratch / "in.wav"});
    forms.Control<QAbstractButton>("chkFormatFlac")->click();
    answers.Click("OK");
    forms.Convert();
    QCOMPARE(answers.Seen().at(2).Text,
             QString::fromStdString("The FLAC module libbmc-flac.so is missing; looked in " +
                                    scratch / "no-codecs/.\n\nNothing was converted."));
    QCOMPARE(answers.Seen().size(), std::size_t{3});
    QVERIFY(!std::filesystem::exists(scratch / "in.flac"));
    QCOMPARE(forms.endProgram + forms.backToSelector, 0);
}

// The rate list is every format's: 192000 Hz, which FLAC writes, is refused for AAC before
// anything is written.
void ConversionJobTest::aRateTheTargetCannotWriteStartsNothing() {
    Scratch scratch;
    MakeTone(scratch / "in.wav", 0.5);
    Forms forms;
    forms.ShowWith({scratch / "in.wav"});
    ChooseTarget(forms, "chkFormatM4a", scratch.Path());
    auto* rate = forms.Control<QComboBox>("BrConvOutRate");
    rate->setCurrentIndex(rate->findData(192000));
    ModalAnswerer answers;
    answers.Click("OK");
    forms.Convert();
    QCOMPARE(answers.Seen().size(), std::size_t{1});
    QCOMPARE(answers.Seen()[0].Text, "AAC output takes a sample rate of at most 96000 Hz, not "
                                     "192000 Hz.\n\nNothing was converted.");
    QVERIFY(!std::filesystem::exists(scratch / "in.m4a"));
    QVERIFY(forms.Control("cmdConvert")->isEnabled());
}

// Closing the window while it converts asks as "<< Back" does: No keeps the window, its progress
// view and the job; Yes stops the job, which then ends as after "<< Back" and Yes.
void ConversionJobTest::closingDuringAJobAsksAndKeepsTheJob() {
    Scratch scratch;
    const std::vector<std::string> inputs = TwoTones(scratch);
    Forms forms;
    OptionsForm& form = forms.Options();
    bool shownAfterNo = false;
    bool runningAfterNo = false;
    StopInTheFirstBlock(form, [&] {
        form.close();
        shownAfterNo = form.isVisible() && !forms.Control("panProgress")->isHidden() &&
                       forms.Control("panOptions")->isHidden();
        runningAfterNo = !form.Job().StopAsked();
        form.close();
    });
    forms.ShowWith(inputs);
    ChooseTarget(forms, "chkFormatMp3", scratch / "out");
    ModalAnswerer answers;
    answers.Click("&No").Click("&Yes").Click("OK");
    forms.Convert();
    QVERIFY(shownAfterNo);
    QVERIFY(runningAfterNo);
    QCOMPARE(answers.Seen().size(), std::size_t{3});
    QCOMPARE(answers.Seen()[0].Text, "Cancel Conversion and Quit?");
    QCOMPARE(answers.Seen()[1].Text, "Cancel Conversion and Quit?");
    QCOMPARE(answers.Seen()[2].Text, NotKept(inputs[0], scratch / "out/1.mp3"));
    QCOMPARE(forms.backToSelector, 1);
    QCOMPARE(forms.endProgram, 0);
    QVERIFY(!std::filesystem::exists(scratch / "out/1.mp3"));
    QVERIFY(!std::filesystem::exists(scratch / "out/2.mp3"));
}
