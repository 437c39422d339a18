// Pictures of every form in both of the options form's views, with the light and a dark palette,
// written into the build folder to be looked at (screenshots/<platform>-x<scale>/).
#include <QDir>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>

#include "FormTestSupport.h"
#include "FormTests.h"
#include "acm/AcmFormatCatalog.h"
#include "engine/WaveFormat.h"
#include "forms/ApplicationTitle.h"
#include "forms/TForm2.h"
#include "forms/TfrmConvertErr.h"
#include "forms/TfrmWaveFormat.h"

using namespace formtest;

namespace {
QPalette DarkPalette() {
    QPalette dark(QColor(0x3c, 0x3c, 0x3c), QColor(0x2d, 0x2d, 0x30)); // button, window
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, Qt::white);
        dark.setColor(QPalette::Disabled, role, Qt::gray);
    }
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Highlight, QColor(0x26, 0x4f, 0x78));
    return dark;
}

// screenshots/<BMC_SCREENSHOT_VARIANT, else platform-x<scale>>/<name>-<palette>.png
void Take(QWidget* widget, const QString& name, bool dark) {
    const QByteArray variant = qgetenv("BMC_SCREENSHOT_VARIANT");
    const QString folder =
        QStringLiteral(BMC_BINARY_DIR "/screenshots/") +
        (variant.isEmpty()
             ? QGuiApplication::platformName() + "-x" +
                   QString::number(QGuiApplication::primaryScreen()->devicePixelRatio())
             : QString::fromLatin1(variant));
    QDir().mkpath(folder);
    const QString path = folder + "/" + name + (dark ? "-dark.png" : "-light.png");
    QVERIFY2(widget->grab().save(path), qPrintable(path));
}
} // namespace

void ScreenshotTest::everyForm_data() {
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
}

void ScreenshotTest::everyForm() {
    QFETCH(bool, dark);
    const QPalette original = QApplication::palette();
    if (dark) {
        QApplication::setPalette(DarkPalette());
    }
    Scratch scratch;
    MakeTone(scratch / "Morning Song.wav", 0.5);
    MakeTone(scratch / "tune.wav", 0.5);
    std::ofstream(scratch / "tune.mp3") << "old";
    const std::vector<std::string> inputs = {scratch / "Morning Song.wav", scratch / "tune.wav"};
    Forms forms;
    TForm1& form = forms.Options();
    ApplicationTitle::Set("Brindlex Music Converter");
    forms.ShowWith(inputs);
    Take(&form, "options-wave", dark);
    forms.Control<QAbstractButton>("chkMp3")->click();
    Take(&form, "options-mp3", dark);
    forms.Control<QAbstractButton>("chkWMA")->click();
    forms.Control<QAbstractButton>("chkToThisFold")->click();
    Take(&form, "options-wma", dark);

    // The progress view as the worker shows it, half way through the first file.
    forms.Control<QAbstractButton>("chkMp3")->click();
    forms.Control<QAbstractButton>("optToDefPath")->click();
    bool taken = false;
    auto connection = connect(&ApplicationTitle::Instance(), &ApplicationTitle::Changed, this, [&] {
        if (!taken) {
            taken = true;
            form.SetFileBarWidth(129);
            form.SetTotalBarWidth(31);
            form.SetTimeRemainingText("Time Remaining : 1:02.05");
            Take(&form, "progress", dark);
        }
    });
    ModalAnswerer answers;
    answers
        .Then([&](QDialog* overwrite) {
            Take(overwrite, "overwrite", dark);
            ModalAnswerer::ClickButton(overwrite, "&Yes");
        })
        .Click("OK");
    forms.Convert();
    disconnect(connection);
    QVERIFY(taken);

    TfrmConvertErr& errors = forms.All().Errors();
    errors.AddLine(QString::fromStdString("Unable to read from '" + (scratch / "junk.wav") + "'."));
    errors.AddLine(QString::fromStdString("'.txt' file type is not supported. Error whilst "
                                          "converting '" +
                                          (scratch / "notes.txt") + "'."));
    errors.show();
    Take(&errors, "errors", dark);
    errors.hide();

    TForm2& list = forms.All().FileList();
    list.SetHeading("Files To Be Converted");
    for (const ConvertRow& row : RowsOf(inputs)) {
        list.AddFile(row);
    }
    list.SetCountText("2 Files");
    list.show();
    Take(&list, "list", dark);
    list.hide();

    std::array<uint8_t, WaveOutputFormatSize> buffer{};
    const auto ima = AcmMakeWaveFormat(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    std::copy(ima.begin(), ima.end(), buffer.begin());
    TfrmWaveFormat chooser;
    chooser.OpenOn(buffer);
    chooser.show();
    Take(&chooser, "chooser", dark);
    chooser.hide();
    QApplication::setPalette(original);
}
