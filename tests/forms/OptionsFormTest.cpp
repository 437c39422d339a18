// The options form at rest: the stored choices and the WAVE output format, the format panel, the
// destination controls, the keyboard, and the "Wave Output Format" chooser.
#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <cstring>

#include "../TargetNumbers.h"
#include "FormTestSupport.h"
#include "FormTests.h"
#include "acm/WaveFormatCatalog.h"
#include "catalog/ConversionSettings.h"
#include "catalog/FormatOptions.h"
#include "catalog/FormatTable.h"
#include "engine/DestinationSettings.h"
#include "engine/WaveFormat.h"
#include "forms/FormatControls.h"
#include "forms/WaveFormatDialog.h"
#include "system/AppPaths.h"
#include "system/SettingsStore.h"

using namespace formtest;

namespace {
uint32_t Stored(const char* name) {
    return StoreReadNumber(StoreRoot::User, SettingsKey, name);
}

void Store(const char* name, uint32_t value) {
    StoreWriteNumber(value, StoreRoot::User, SettingsKey, name);
}

std::vector<uint8_t> Head(const std::array<uint8_t, WaveOutputFormatSize>& buffer) {
    return {buffer.begin(), buffer.begin() + sizeof(WAVEFORMATEX)};
}

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::vector<uint8_t> StandardFormat() {
    const WAVEFORMATEX pcm = MakePcmFormat(2, 44100, 16);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&pcm);
    return {bytes, bytes + sizeof pcm};
}
} // namespace

void OptionsFormTest::defaultsWithAnEmptyStore() {
    Scratch scratch;
    Forms forms;
    QCOMPARE(forms.Control<QComboBox>("BrConvMP3Freq")->currentText(), "44.1Khz (CD Quality)");
    QCOMPARE(forms.Control<QComboBox>("BrConvMP3Bit")->currentText(), "192 Kbps");
    QCOMPARE(forms.Control<QComboBox>("BrConvWMAQual")->currentText(), "44100Khz 160Kbps Stereo");
    QVERIFY(forms.Control<QRadioButton>("BrConvMono_0")->isChecked());
    QVERIFY(forms.Control<QToolButton>("chkFormatWav")->isChecked());
    QVERIFY(forms.Control<QRadioButton>("optToDefPath")->isChecked());
    QVERIFY(!forms.Control<QLineEdit>("txtToFolder")->isEnabled());
    QVERIFY(!forms.Control<QAbstractButton>("chkKeepTree")->isChecked());
    QVERIFY(!forms.Control<QAbstractButton>("chkKeepTree")->isEnabled());
    // Bit rates run from low to high.
    QCOMPARE(forms.Control<QComboBox>("BrConvWMAQual")->itemText(5), "44100Khz   96Kbps Stereo");
    QCOMPARE(forms.Control<QComboBox>("BrConvMP3Bit")->itemText(0), "  56 Kbps");
    QCOMPARE(Head(forms.Options().WaveOutputFormat()), StandardFormat());
    QCOMPARE(forms.Control<QLabel>("lblTextChoiceName")->text(), "Standard Wave File");
    QCOMPARE(forms.Control<QLabel>("lblTextChoiceDetails")->text(), "44,100 Hz, 16 Bit, Stereo");
}

void OptionsFormTest::storedChoicesLoadAndSave() {
    Scratch scratch;
    Store("BrConvMP3Bit", 5);
    Store("BrConvMP3Freq", 9); // outside the list
    Store("BrConvTo", 1);
    Store("BrConvMono", 7);
    Store("BrConvToLocOpt", 1);
    StoreWriteText("/srv/music/", StoreRoot::User, SettingsKey, "BrConvToFolder");
    Store("BrConvWMAQual", 6);
    Store("BrConvKeepTree", 1);
    Store("BrConvJobs", 1);
    {
        Forms forms;
        QCOMPARE(forms.Control<QComboBox>("BrConvMP3Bit")->currentText(), "128 Kbps");
        QCOMPARE(forms.Control<QComboBox>("BrConvMP3Freq")->currentIndex(), -1);
        QVERIFY(forms.Control<QToolButton>("chkFormatMp3")->isChecked());
        QVERIFY(forms.Control<QRadioButton>("BrConvMono_1")->isChecked());
        QCOMPARE(forms.Control<QLineEdit>("txtToFolder")->text(), "/srv/music/");
        QVERIFY(forms.Control<QLineEdit>("txtToFolder")->isEnabled());
        QCOMPARE(forms.Control<QComboBox>("BrConvWMAQual")->currentText(),
                 "32000Khz   48Kbps Stereo");
        QVERIFY(forms.Control<QAbstractButton>("chkKeepTree")->isChecked());
        QVERIFY(forms.Control<QAbstractButton>("chkKeepTree")->isEnabled());
        // The MP3 options show; the WAVE and WMA ones do not.
        QVERIFY(!forms.Control("BrConvMP3Bit")->isHidden());
        QVERIFY(forms.Control("BrConvWMAQual")->isHidden());
        QVERIFY(forms.Control("cmdChangeTextChoice")->isHidden());
        QCOMPARE(forms.Control<QLabel>("lblFormatDescription")->text(), "Mpeg 1 Layer 3");
        forms.Control<QToolButton>("chkFormatWma")->click();
        QCOMPARE(forms.Control<QLabel>("lblFormatDescription")->text(), "Windows Media Audio 4");
        QVERIFY(forms.Control("BrConvMP3Bit")->isHidden());
        QVERIFY(!forms.Control("BrConvWMAQual")->isHidden());
    }
    QCOMPARE(Stored("BrConvMP3Bit"), 5u);
    QCOMPARE(Stored("BrConvMP3Freq"), 0u); // no selection: index -1, plus one
    QCOMPARE(Stored("BrConvTo"), 2u);
    QCOMPARE(Stored("BrConvMono"), 1u);
    QCOMPARE(Stored("BrConvWMAQual"), 6u);
    QCOMPARE(Stored("BrConvKeepTree"), 1u);
    QCOMPARE(Stored("BrConvJobs"), 1u); // no control shows it, and it is kept all the same
}

// A screen reader's "Toggle" changes a button's state without a click: the form follows the
// state, so what it shows is what Convert does.
void OptionsFormTest::controlsFollowTheirAccessibleToggle() {
    Scratch scratch;
    Forms forms;
    forms.ShowWith({});
    const auto toggle = [&](const char* name) {
        QAccessibleInterface* control =
            QAccessible::queryAccessibleInterface(forms.Control<QAbstractButton>(name));
        QVERIFY(control && control->actionInterface());
        QVERIFY(control->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::toggleAction()));
        control->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    };
    const struct {
        const char* button;
        uint8_t target;
        const char* shown;
        const char* description;
    } formats[] = {{"chkFormatWma", tfWMA, "BrConvWMAQual", "Windows Media Audio 4"},
                   {"chkFormatMp3", tfMp3, "BrConvMP3Bit", "Mpeg 1 Layer 3"},
                   {"chkFormatFlac", tfFlac, "BrConvFlacLevel", "Free Lossless Audio Codec"},
                   {"chkFormatOpus", tfOpus, "BrConvOpusKbps", "Opus in Ogg"},
                   {"chkFormatOgg", tfVorbis, "BrConvVorbisQuality", "Ogg Vorbis"},
                   {"chkFormatM4a", tfAac, "BrConvAacKbps", "AAC in MP4"},
                   {"chkFormatAlac", tfAlac, "", "Apple Lossless in MP4"},
                   {"chkFormatWav", tfWave, "cmdChangeTextChoice",
                    "Wave (Audio CD's: Standard Wave 44100Khz 16 bit Stereo)"}};
    for (const auto& format : formats) {
        toggle(format.button);
        QCOMPARE(forms.Options().TargetFormat(), format.target);
        QCOMPARE(forms.Options().Choices().Target, format.target);
        QCOMPARE(forms.Control<QLabel>("lblFormatDescription")->text(), format.description);
        for (const char* panel :
             {"BrConvWMAQual", "BrConvMP3Bit", "cmdChangeTextChoice", "BrConvFlacLevel",
              "BrConvOpusKbps", "BrConvVorbisQuality", "BrConvAacKbps"}) {
            QCOMPARE(forms.Control(panel)->isHidden(), std::strcmp(panel, format.shown) != 0);
        }
        // Channels and sample rate follow the input in every newer format but Opus's rate.
        const bool newer = format.target >= tfFlac;
        QCOMPARE(forms.Control("BrConvOutChannels")->isHidden(), !newer);
        QCOMPARE(forms.Control("BrConvOutRate")->isHidden(), !newer || format.target == tfOpus);
    }
    // What names outputs below the chosen folder goes with it; the covers stay either way.
    const char* const chosenFolderOnly[] = {
        "txtToFolder",         "cmdBrowse",      "chkKeepTree", "txtBaseFolder",
        "cmdBrowseBaseFolder", "txtNamePattern", "chkSafeNames"};
    toggle("chkToThisFold");
    for (const char* control : chosenFolderOnly) {
        QVERIFY2(forms.Control(control)->isEnabled(), control);
    }
    QVERIFY(!forms.Options().Destination().SameFolder);
    toggle("optToDefPath");
    for (const char* control : chosenFolderOnly) {
        QVERIFY2(!forms.Control(control)->isEnabled(), control);
    }
    QVERIFY(forms.Control("spnCoverSize")->isEnabled());
    QVERIFY(forms.Control("chkFolderCover")->isEnabled());
    QVERIFY(forms.Options().Destination().SameFolder);
}

void OptionsFormTest::shortOrGarbageWaveCompressGivesTheDefault() {
    Scratch scratch;
    for (const std::string& content : {std::string(100, '\x55'), std::string()}) {
        std::ofstream(WaveCompressPath(), std::ios::binary) << content;
        Forms forms;
        QCOMPARE(Head(forms.Options().WaveOutputFormat()), StandardFormat());
    }
    // A full-size file of garbage is taken as it is, and the labels keep what they can say.
    std::ofstream(WaveCompressPath(), std::ios::binary)
        << std::string(WaveOutputFormatSize, '\xAB');
    Forms forms;
    QCOMPARE(forms.Options().WaveOutputFormat()[0], uint8_t{0xAB});
    QVERIFY(forms.Control<QLabel>("lblTextChoiceDetails")->text().isEmpty());
}

void OptionsFormTest::chosenFormatSurvivesARestart() {
    Scratch scratch;
    const std::vector<uint8_t> ima =
        WaveFormatCatalog::MakeRecord(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    QVERIFY(ima.size() > sizeof(WAVEFORMATEX));
    {
        Forms forms;
        ModalAnswerer answers;
        answers.Then([](QDialog* chooser) {
            auto* tags = Child<QComboBox>(chooser, "cmbFormatTag");
            tags->setCurrentIndex(tags->findText("IMA ADPCM"));
            auto* attributes = Child<QComboBox>(chooser, "cmbAttributes");
            attributes->setCurrentIndex(attributes->findText("22,050 Hz, 4 Bit, Mono"));
            ModalAnswerer::ClickButton(chooser, "OK");
        });
        forms.Control<QAbstractButton>("cmdChangeTextChoice")->click();
        QCOMPARE(answers.Seen().at(0).Title, "Wave Output Format");
        QCOMPARE(forms.Control<QLabel>("lblTextChoiceName")->text(), "IMA ADPCM");
        QCOMPARE(forms.Control<QLabel>("lblTextChoiceDetails")->text(), "22,050 Hz, 4 Bit, Mono");

        // Cancel changes nothing.
        const auto before = forms.Options().WaveOutputFormat();
        answers.Then([](QDialog* chooser) {
            Child<QComboBox>(chooser, "cmbFormatTag")->setCurrentIndex(0);
            chooser->reject();
        });
        forms.Control<QAbstractButton>("cmdChangeTextChoice")->click();
        QVERIFY(forms.Options().WaveOutputFormat() == before);
    }
    const std::string file = ReadFile(WaveCompressPath());
    QCOMPARE(file.size(), WaveOutputFormatSize);
    QVERIFY(std::memcmp(file.data(), ima.data(), ima.size()) == 0);
    Forms again;
    QVERIFY(std::memcmp(again.Options().WaveOutputFormat().data(), file.data(), file.size()) == 0);
    QCOMPARE(again.Control<QLabel>("lblTextChoiceName")->text(), "IMA ADPCM");
}

void OptionsFormTest::chooserOpensOnTheCurrentFormat() {
    Scratch scratch;
    std::array<uint8_t, WaveOutputFormatSize> buffer{};
    const std::vector<uint8_t> alaw = WaveFormatCatalog::MakeRecord(WAVE_FORMAT_ALAW, 2, 8000, 8);
    std::copy(alaw.begin(), alaw.end(), buffer.begin());
    WaveFormatDialog chooser;
    chooser.OpenOn(buffer);
    QCOMPARE(Child<QComboBox>(&chooser, "cmbFormatTag")->currentText(), "CCITT A-Law");
    QCOMPARE(Child<QComboBox>(&chooser, "cmbAttributes")->currentText(), "8,000 Hz, 8 Bit, Stereo");
}

void OptionsFormTest::keyboardAndAccessibleNames() {
    Scratch scratch;
    Forms forms;
    forms.ShowWith({});
    QCOMPARE(forms.Control("chkFormatMp3")->accessibleName(), "MP3");
    QCOMPARE(forms.Control("chkFormatWma")->toolTip(), "WMA");
    // Escape is "<< Back", which at rest leaves for the selector.
    QTest::keyClick(&forms.Options(), Qt::Key_Escape);
    QCOMPARE(forms.backToSelector, 1);
    QVERIFY(forms.Options().isHidden());
    // So does the close box.
    forms.ShowWith({});
    forms.Options().close();
    QCOMPARE(forms.backToSelector, 2);

    // Enter is "&Convert": an empty list converts nothing and succeeds.
    forms.ShowWith({});
    ModalAnswerer answers;
    answers.Click("OK");
    QTest::keyClick(forms.Control("chkFormatWav"), Qt::Key_Return);
    QCOMPARE(answers.Seen().size(), std::size_t{1});
    QCOMPARE(answers.Seen()[0].Text, "All files have now been converted.");
    QCOMPARE(forms.endProgram, 1);
}

void OptionsFormTest::browseFillsTheFolder() {
    Scratch scratch;
    Forms forms;
    forms.ShowWith({});
    forms.Control<QAbstractButton>("chkToThisFold")->click();
    QVERIFY(forms.Control("cmdBrowse")->isEnabled());
    const QString target = QString::fromStdString(scratch.Path() + "config");
    ModalAnswerer answers;
    answers.Then([target](QDialog* dialog) {
        // Typed into the dialog's name box, as a user may.
        Child<QLineEdit>(dialog, "fileNameEdit")->setText(target);
        dialog->accept();
    });
    forms.Control<QAbstractButton>("cmdBrowse")->click();
    QCOMPARE(answers.Seen().at(0).Title, "Save converted files in..");
    QCOMPARE(forms.Control<QLineEdit>("txtToFolder")->text(), target);
}

// The newer formats' options: every stored target shows its button, a stored value between the
// listed steps stays listed and chosen, and what the controls say is stored again.
void OptionsFormTest::numberOptionsLoadListAndSave() {
    Scratch scratch;
    const std::pair<uint32_t, const char*> buttons[] = {{3, "chkFormatFlac"},
                                                        {4, "chkFormatOpus"},
                                                        {5, "chkFormatOgg"},
                                                        {6, "chkFormatM4a"},
                                                        {7, "chkFormatAlac"}};
    for (const auto& [stored, button] : buttons) {
        Store("BrConvTo", stored);
        Forms forms;
        QVERIFY2(forms.Control<QToolButton>(button)->isChecked(), button);
    }
    Store("BrConvTo", 6);
    Store("BrConvAacKbps", 200);
    Store("BrConvOutChannels", 1);
    Store("BrConvOutRate", 12345); // in range though not listed
    Store("BrConvFlacLevel", 9);   // out of range: the default
    Store("BrConvVorbisQuality", static_cast<uint32_t>(-1));
    {
        Forms forms;
        auto* aac = forms.Control<QComboBox>("BrConvAacKbps");
        QCOMPARE(aac->currentText(), "200 kbit/s");
        QCOMPARE(aac->itemText(aac->currentIndex() - 1), "192 kbit/s");
        QCOMPARE(aac->itemText(aac->currentIndex() + 1), "256 kbit/s");
        QCOMPARE(forms.Control<QComboBox>("BrConvOutChannels")->currentText(), "1 (Mono)");
        auto* rate = forms.Control<QComboBox>("BrConvOutRate");
        QCOMPARE(rate->currentText(), "12345 Hz");
        QCOMPARE(rate->itemText(0), "As the input");
        QCOMPARE(forms.Control<QSpinBox>("BrConvFlacLevel")->value(), 5);
        QCOMPARE(forms.Control<QSpinBox>("BrConvVorbisQuality")->value(), -1);
        QCOMPARE(forms.Control("BrConvAacKbps")->accessibleName(), "AAC bit rate");
        QCOMPARE(forms.Control("BrConvOutRate")->accessibleName(), "Sample rate");

        forms.Control<QToolButton>("chkFormatOpus")->click();
        auto* opus = forms.Control<QComboBox>("BrConvOpusKbps");
        opus->setCurrentIndex(opus->findText("96 kbit/s"));
        rate->setCurrentIndex(rate->findData(48000));
        QCOMPARE(forms.Options().Choices().Options.Of(OptionOf(tfOpus, "--bitrate")), 96);
    }
    QCOMPARE(Stored("BrConvTo"), 4u);
    QCOMPARE(Stored("BrConvOpusKbps"), 96u);
    QCOMPARE(Stored("BrConvAacKbps"), 200u);
    QCOMPARE(Stored("BrConvOutRate"), 48000u);
    QCOMPARE(Stored("BrConvFlacLevel"), 5u);
    QCOMPARE(Stored("BrConvVorbisQuality"), static_cast<uint32_t>(-1));
}

// Every format written has its button, named after its key, in the registry's order both in the
// row and in the tab order (first of the form, then "List Files to Convert"), with its row's
// name and picture; it chooses that format.
void OptionsFormTest::formatButtonsFollowTheRegistry() {
    Scratch scratch;
    Forms forms;
    forms.ShowWith({});
    const auto row = Child<QWidget>(&forms.Options(), "panOptions")
                         ->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
    QWidget* previous = &forms.Options();
    qsizetype place = 0;
    for (const FormatInfo& format : Formats()) {
        if (!format.IsTarget()) {
            continue;
        }
        const QString name = FormatControlName("chkFormat", format);
        auto* button = forms.Control<QToolButton>(qPrintable(name));
        QCOMPARE(row.at(place++), button);
        QVERIFY(previous == &forms.Options() || button->x() > previous->x());
        QCOMPARE(NextTabStop(previous), button);
        previous = button;
        QCOMPARE(button->toolTip(), Q(format.ButtonName));
        QCOMPARE(button->accessibleName(), Q(format.ButtonName));
        QVERIFY2(QFile::exists(":/pictures/" + Q(format.Picture)), qPrintable(name));
        button->click();
        QCOMPARE(forms.Options().TargetFormat(), format.Number);
        QCOMPARE(forms.Control<QLabel>("lblFormatDescription")->text(), Q(format.Description));
    }
    QCOMPARE(NextTabStop(previous), forms.Control("cmdShowFiles"));
    // Its button calls WAVE as it always has.
    QCOMPARE(forms.Control("chkFormatWav")->accessibleName(), "Wave");
}

// The options with words of their own show them, with their pictures from the registry's files;
// the screen reader takes a list's name from its label, and Tab goes down the switches, the lists
// and "Change", then the destination, and reaches the captioned rows after "<< Back".
void OptionsFormTest::ownWordedOptionsKeepTheirLabelsPicturesAndTabs() {
    Scratch scratch;
    Forms forms;
    forms.ShowWith({});
    for (const auto& [list, label] : {std::pair{"BrConvMP3Bit", "Bit Rate"},
                                      {"BrConvMP3Vbr", "Variable bit rate, quality"},
                                      {"BrConvMP3Freq", "Freq"},
                                      {"BrConvWMAQual", "Quality"}}) {
        auto* caption = forms.Control<QLabel>(qPrintable(QStringLiteral("lbl") + list));
        QCOMPARE(caption->text(), label);
        QCOMPARE(caption->buddy(), forms.Control(list));
        QVERIFY(forms.Control(list)->accessibleName().isEmpty());
        // Named by its label through the relation a screen reader follows.
        const auto labels = QAccessible::queryAccessibleInterface(forms.Control(list))
                                ->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.front().first->text(QAccessible::Name), label);
    }
    QCOMPARE(forms.Control<QRadioButton>("BrConvMono_1")->text(), "Mono");
    for (const char* picture : {"imgBrConvMono_0", "imgBrConvMono_1", "imgBrConvMP3Bit",
                                "imgBrConvMP3Vbr", "imgBrConvMP3Freq"}) {
        QVERIFY2(!forms.Control<QLabel>(picture)->pixmap().isNull(), picture);
    }
    for (const FormatOption& option : FormatOptions()) {
        std::vector<std::string_view> pictures = {option.Picture};
        for (const OfferedValue& offered : option.Offered) {
            pictures.push_back(offered.Picture);
        }
        for (const std::string_view picture : pictures) {
            QVERIFY(picture.empty() || QFile::exists(":/pictures/" + Q(picture)));
        }
    }
    const char* const tabs[] = {"cmdShowFiles",  "BrConvMono_0",        "BrConvMono_1",
                                "BrConvMP3Bit",  "BrConvMP3Vbr",        "BrConvMP3Freq",
                                "BrConvWMAQual", "cmdChangeTextChoice", "optToDefPath"};
    for (std::size_t i = 1; i < std::size(tabs); ++i) {
        QCOMPARE(NextTabStop(forms.Control(tabs[i - 1])), forms.Control(tabs[i]));
    }
    QCOMPARE(NextTabStop(forms.Control("cmdCancel")), forms.Control("BrConvFlacLevel"));
    QCOMPARE(NextTabStop(forms.Control("BrConvOutRate")), forms.Control("chkKeepTree"));
}

namespace {
// Types name into the name dialog and presses OK.
ModalAnswerer::Answer TypeName(const QString& name) {
    return [name](QDialog* dialog) {
        QCOMPARE(QApplication::activeModalWidget(), dialog);
        dialog->findChild<QLineEdit*>()->setText(name);
        ModalAnswerer::ClickButton(dialog, "OK");
    };
}
} // namespace

// A preset saved from the controls sets them again when picked; the built-in ones set their
// format and cannot be deleted; the user's can.
void OptionsFormTest::presetsSaveRestoreAndDelete() {
    Scratch scratch;
    Forms forms;
    forms.ShowWith({});
    auto* presets = forms.Control<QComboBox>("cboPreset");
    auto* remove = forms.Control<QAbstractButton>("cmdDeletePreset");
    QCOMPARE(presets->accessibleName(), "Preset");
    forms.Control<QAbstractButton>("chkFormatFlac")->click();
    forms.Control<QSpinBox>("BrConvFlacLevel")->setValue(0);
    forms.Control<QAbstractButton>("chkToThisFold")->click();
    forms.Control<QLineEdit>("txtToFolder")->setText("/srv/flac/");
    auto* verify = forms.Control<QAbstractButton>("chkVerifyOutputs");
    verify->click();
    ModalAnswerer answers;
    answers.Then(TypeName("  Archive \"flac\" / 0  ")).Then(TypeName("archive \"FLAC\" / 0"));
    answers.Click("&No");
    forms.Control<QAbstractButton>("cmdSavePreset")->click();
    QCOMPARE(presets->currentText(), "Archive \"flac\" / 0");
    QVERIFY(remove->isEnabled());
    // The same name again asks before replacing; No keeps it.
    forms.Control<QAbstractButton>("cmdSavePreset")->click();
    QCOMPARE(answers.Seen().at(2).Text, "A preset called 'Archive \"flac\" / 0' exists already. "
                                        "Replace it?");

    // The first built-in sets Opus 128 kbit/s and leaves the destination; the saved one sets
    // everything back.
    presets->setFocus();
    QTest::keyClick(presets, Qt::Key_Home);
    QVERIFY(forms.Control<QToolButton>("chkFormatOpus")->isChecked());
    QCOMPARE(forms.Control<QComboBox>("BrConvOpusKbps")->currentText(), "128 kbit/s");
    QVERIFY(!remove->isEnabled());
    forms.Control<QAbstractButton>("optToDefPath")->click();
    verify->click();
    QTest::keyClick(presets, Qt::Key_End);
    QVERIFY(verify->isChecked());
    QVERIFY(forms.Control<QToolButton>("chkFormatFlac")->isChecked());
    QCOMPARE(forms.Control<QSpinBox>("BrConvFlacLevel")->value(), 0);
    QVERIFY(forms.Control<QRadioButton>("chkToThisFold")->isChecked());
    QCOMPARE(forms.Control<QLineEdit>("txtToFolder")->text(), "/srv/flac/");

    answers.Click("&Yes");
    remove->click();
    QCOMPARE(presets->count(), 2);
    QCOMPARE(presets->currentIndex(), -1);
    QVERIFY(!remove->isEnabled());
}

// Without the Opus module the Opus preset is refused, naming it, and the controls stay.
void OptionsFormTest::aPresetWhoseFormatCannotBeWrittenChangesNothing() {
    Scratch scratch;
    std::filesystem::create_directory(scratch / "no-codecs");
    Forms forms({scratch / "no-codecs/"});
    forms.ShowWith({});
    ModalAnswerer answers;
    answers.Click("OK");
    auto* presets = forms.Control<QComboBox>("cboPreset");
    presets->setFocus();
    QTest::keyClick(presets, Qt::Key_Home);
    QVERIFY(answers.Seen().at(0).Text.startsWith(
        "The preset 'Phone (Opus 128 kbit/s)' converts to Opus, which cannot be written:\nThe "
        "Opus module libbmc-opus.so is missing"));
    QVERIFY(forms.Control<QToolButton>("chkFormatWav")->isChecked());
    QCOMPARE(presets->currentIndex(), -1);
}

// The naming, library folder, safe names and cover controls show what is stored, reach the
// destination, and store what they show; the cover size says what 0 means.
void OptionsFormTest::namingAndCoverChoicesLoadAndSave() {
    Scratch scratch;
    Store("BrConvToLocOpt", 1);
    StoreWriteText("{artist}/{title}", StoreRoot::User, SettingsKey, "BrConvNamePattern");
    StoreWriteText("/srv/music", StoreRoot::User, SettingsKey, "BrConvBaseFolder");
    Store("BrConvSafeNames", 1);
    Store("BrConvCoverSize", 500);
    Store("BrConvReplayGain", 2);
    Store("BrConvVerify", 1);
    {
        Forms forms;
        auto* replayGain = forms.Control<QComboBox>("cmbReplayGain");
        QCOMPARE(replayGain->currentText(), "album");
        auto* verify = forms.Control<QAbstractButton>("chkVerifyOutputs");
        QVERIFY(verify->isChecked());
        QCOMPARE(forms.Control<QLineEdit>("txtNamePattern")->text(), "{artist}/{title}");
        QCOMPARE(forms.Control<QLineEdit>("txtBaseFolder")->text(), "/srv/music");
        QVERIFY(forms.Control<QAbstractButton>("chkSafeNames")->isChecked());
        auto* coverSize = forms.Control<QSpinBox>("spnCoverSize");
        QCOMPARE(coverSize->value(), 500);
        QVERIFY(!forms.Control<QAbstractButton>("chkFolderCover")->isChecked());
        const DestinationSettings destination = forms.Options().Destination();
        QCOMPARE(destination.NamePattern, std::string("{artist}/{title}"));
        QCOMPARE(destination.BaseFolder, std::string("/srv/music"));
        QVERIFY(destination.SafeNames);
        for (const char* name :
             {"txtNamePattern", "txtBaseFolder", "cmdBrowseBaseFolder", "chkSafeNames",
              "spnCoverSize", "chkFolderCover", "cmbReplayGain", "chkVerifyOutputs"}) {
            const QAccessibleInterface* control =
                QAccessible::queryAccessibleInterface(forms.Control(name));
            QVERIFY2(!control->text(QAccessible::Name).isEmpty(), name);
        }
        QCOMPARE(forms.Control<QLabel>("lblNamePattern")->buddy(), forms.Control("txtNamePattern"));
        QCOMPARE(forms.Control<QLabel>("lblBaseFolder")->buddy(), forms.Control("txtBaseFolder"));
        QCOMPARE(forms.Control<QLabel>("lblCoverSize")->buddy(), coverSize);
        QCOMPARE(forms.Control<QLabel>("lblReplayGain")->buddy(), replayGain);
        // Tab goes on from "Keep folder tree" through them, top to bottom.
        const char* const tabs[] = {"chkKeepTree",     "txtBaseFolder",   "cmdBrowseBaseFolder",
                                    "txtNamePattern",  "chkSafeNames",    "chkMirror",
                                    "txtMirrorExtras", "spnCoverSize",    "chkFolderCover",
                                    "cmbReplayGain",   "chkVerifyOutputs"};
        for (std::size_t i = 1; i < std::size(tabs); ++i) {
            QWidget* next = NextTabStop(forms.Control(tabs[i - 1]));
            // A spin box's own edit line comes right after it.
            if (forms.Control(tabs[i - 1])->isAncestorOf(next)) {
                next = NextTabStop(next);
            }
            QCOMPARE(next, forms.Control(tabs[i]));
        }

        coverSize->setValue(0);
        QCOMPARE(coverSize->text(), "As they are");
        forms.Control<QLineEdit>("txtNamePattern")->clear();
        forms.Control<QLineEdit>("txtBaseFolder")->setText("/srv/other");
        forms.Control<QAbstractButton>("chkSafeNames")->click();
        forms.Control<QAbstractButton>("chkFolderCover")->click();
        QTest::keyClick(replayGain, Qt::Key_Up);
        // Its mnemonic (Alt+O) is no other control's.
        int mnemonics = 0;
        for (const QWidget* control : forms.Options().findChildren<QWidget*>()) {
            const auto* button = qobject_cast<const QAbstractButton*>(control);
            const auto* label = qobject_cast<const QLabel*>(control);
            const QString text = button ? button->text() : label ? label->text() : QString();
            mnemonics += QKeySequence::mnemonic(text) == QKeySequence(Qt::ALT | Qt::Key_O);
        }
        QCOMPARE(mnemonics, 1);
        verify->click();
    }
    const ConverterChoices stored = ConverterChoices::Load();
    QVERIFY(stored.NamePattern.empty());
    QCOMPARE(stored.BaseFolder, std::string("/srv/other"));
    QVERIFY(!stored.SafeNames);
    QCOMPARE(stored.CoverSize, 0u);
    QVERIFY(stored.FolderCover);
    QVERIFY(stored.ReplayGain == ReplayGainMode::Track);
    QVERIFY(!stored.Verify);
    // A mode stored by a later version is not measured here: none.
    Store("BrConvReplayGain", 3);
    QVERIFY(ConverterChoices::Load().ReplayGain == ReplayGainMode::None);
}

// The first listed file's output as the job would name it, changing as the pattern is typed, as
// the format, the destination and the list change; a pattern half typed says what is wrong.
void OptionsFormTest::namePreviewFollowsTheControlsAndTheList() {
    Scratch scratch;
    const std::string song = scratch / "tagged.flac";
    const std::string other = scratch / "untagged.wav";
    MakeTone(song, 0.2);
    MakeTone(other, 0.2);
    Run("/usr/bin/python3 -c \"import sys, mutagen.flac; f = mutagen.flac.FLAC(sys.argv[1]); "
        "f['artist'] = 'Artist'; f['title'] = 'Title'; f.save()\" '" +
        song + "'");
    Forms forms;
    const auto preview = [&] { return forms.Control("lblNamePreview")->accessibleName(); };
    forms.ShowWith({song, other});
    QCOMPARE(preview(), Q("First file: " + (scratch / "tagged.wav")));
    forms.Control<QAbstractButton>("chkFormatMp3")->click();
    QCOMPARE(preview(), Q("First file: " + (scratch / "tagged.mp3")));
    forms.Control<QAbstractButton>("chkToThisFold")->click();
    forms.Control<QLineEdit>("txtToFolder")->setText(Q(scratch / "out"));
    QCOMPARE(preview(), "First file: tagged.mp3");
    forms.ShowWith({other});
    QCOMPARE(preview(), "First file: untagged.mp3");
    forms.ShowWith({});
    QCOMPARE(preview(), "");

    forms.ShowWith({song, other});
    auto* pattern = forms.Control<QLineEdit>("txtNamePattern");
    QTest::keyClicks(pattern, "{artist");
    QCOMPARE(preview(), "Naming pattern '{artist': unbalanced '{' at byte 0.");
    QTest::keyClicks(pattern, "}/{title}");
    QCOMPARE(preview(), "First file: Artist/Title.mp3");
    forms.Control<QAbstractButton>("chkFormatFlac")->click();
    QCOMPARE(preview(), "First file: Artist/Title.flac");
}
