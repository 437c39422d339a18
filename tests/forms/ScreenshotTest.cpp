// Pictures of every form in both of the options form's views, with the light and a dark palette,
// written into the build folder to be looked at (screenshots/<platform>-x<scale>/).
#include <QDir>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QStyle>

#include "FormTestSupport.h"
#include "ScreenshotTest.h"
#include "acm/AcmFormatCatalog.h"
#include "engine/WaveFormat.h"
#include "forms/ApplicationTitle.h"
#include "forms/TForm2.h"
#include "forms/TfrmConvertErr.h"
#include "forms/TfrmWaveFormat.h"

using namespace formtest;

namespace {
QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x30));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::AlternateBase, QColor(0x2d, 0x2d, 0x30));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(0x3c, 0x3c, 0x3c));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(0x26, 0x4f, 0x78));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, QColor(0x3c, 0x3c, 0x3c));
    dark.setColor(QPalette::ToolTipText, Qt::white);
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    return dark;
}

class Camera {
public:
    explicit Camera(const QString& palette) {
        const char* variant = std::getenv("BMC_SCREENSHOT_VARIANT");
        const QString name =
            variant && *variant
                ? QString::fromLatin1(variant)
                : QGuiApplication::platformName() + "-x" +
                      QString::number(QGuiApplication::primaryScreen()->devicePixelRatio());
        folder_ = QStringLiteral(BMC_BINARY_DIR "/screenshots/") + name + "/";
        QDir().mkpath(folder_);
        suffix_ = palette;
    }
    void Take(QWidget* widget, const QString& name) {
        const QString path = folder_ + name + "-" + suffix_ + ".png";
        QVERIFY2(widget->grab().save(path), qPrintable(path));
    }

private:
    QString folder_;
    QString suffix_;
};
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
    Camera camera(dark ? "dark" : "light");
    Scratch scratch;
    MakeTone(scratch / "Morning Song.wav", 0.5);
    MakeTone(scratch / "tune.wav", 0.5);
    std::ofstream(scratch / "tune.mp3") << "old";
    const std::vector<std::string> inputs = {scratch / "Morning Song.wav", scratch / "tune.wav"};
    Forms forms;
    TForm1& form = forms.Options();
    ApplicationTitle::Set("Brindlex Music Converter");
    forms.ShowWith(inputs);
    camera.Take(&form, "options-wave");
    forms.Control<QAbstractButton>("chkMp3")->click();
    camera.Take(&form, "options-mp3");
    forms.Control<QAbstractButton>("chkWMA")->click();
    forms.Control<QAbstractButton>("chkToThisFold")->click();
    camera.Take(&form, "options-wma");

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
            camera.Take(&form, "progress");
        }
    });
    ModalAnswerer answers;
    answers
        .Then([&](QDialog* overwrite) {
            camera.Take(overwrite, "overwrite");
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
    camera.Take(&errors, "errors");
    errors.hide();

    TForm2& list = forms.All().FileList();
    list.SetHeading("Files To Be Converted");
    for (const std::string& input : inputs) {
        list.AddFile(input, std::filesystem::file_size(input));
    }
    list.SetCountText("2 Files");
    list.show();
    camera.Take(&list, "list");
    list.hide();

    std::array<uint8_t, WaveOutputFormatSize> buffer{};
    const auto ima = AcmMakeWaveFormat(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    std::copy(ima.begin(), ima.end(), buffer.begin());
    TfrmWaveFormat chooser;
    chooser.OpenOn(buffer);
    chooser.show();
    camera.Take(&chooser, "chooser");
    chooser.hide();
    QApplication::setPalette(original);
}
