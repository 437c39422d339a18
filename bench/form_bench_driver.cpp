// Drives the options form off screen for bench/form-bench:
//   bmc_form_bench job wav|mp3 TAG:CHANNELS:RATE:BITS|- OUTPUT_FOLDER INPUT...
//     converts the inputs through the form's "&Convert" and prints the job's milliseconds, wall
//     and processor (every thread), from the click to the end;
//   bmc_form_bench show ROWS
//     fills both conversion lists with ROWS rows, then prints the milliseconds of showing (and
//     painting) the options form, its progress view, and the file-list form.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>
#include <cstdio>
#include <ctime>

#include "acm/WaveFormatCatalog.h"
#include "catalog/ConversionSettings.h"
#include "engine/WaveOutputFormatFile.h"
#include "forms/AppForms.h"
#include "forms/FileListWindow.h"
#include "forms/OptionsForm.h"
#include "selector/ConvertListBuilder.h"

namespace {
// User and system time of the whole process, every thread included.
long long ProcessorMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

// Answers every message box with its first button, as soon as it shows.
class Answerer : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box && event->type() == QEvent::Show) {
            QMetaObject::invokeMethod(
                box, [box] { box->buttons().first()->click(); }, Qt::QueuedConnection);
        }
        return false;
    }
};

template <typename T = QWidget> T* Control(QWidget* form, const char* name) {
    return form->findChild<T*>(QLatin1String(name));
}

int Job(const QStringList& args) {
    if (args.size() < 4) {
        return 2;
    }
    if (args[0] == "wav") {
        // The options form starts with the kept WAVE output format.
        const QStringList f = args[1].split(':');
        const auto record =
            WaveFormatCatalog::MakeRecord(f.value(0).toUShort(), f.value(1).toUShort(),
                                          f.value(2).toUInt(), f.value(3).toUShort());
        if (record.empty()) {
            return 2;
        }
        WaveOutputFormatBuffer buffer{};
        std::copy(record.begin(), record.end(), buffer.begin());
        SaveWaveOutputFormat(buffer);
    }
    AppForms forms;
    OptionsForm& form = forms.Options();
    form.OnEndProgram = [] {};
    Control<QAbstractButton>(&form, args[0] == "wav" ? "chkFormatWav" : "chkFormatMp3")->click();
    Control<QAbstractButton>(&form, "chkToThisFold")->click();
    Control<QLineEdit>(&form, "txtToFolder")->setText(args[2]);
    SelectionLists marks;
    for (const QString& input : args.mid(3)) {
        marks.filesToBack.Append(input.toStdString());
    }
    for (const ConvertRow& row : ConvertListBuilder(marks).Build()) {
        form.AddConvertRow(row);
    }
    form.show();
    Answerer answerer;
    qApp->installEventFilter(&answerer);
    QElapsedTimer clock;
    clock.start();
    const long long cpuBefore = ProcessorMilliseconds();
    Control<QAbstractButton>(&form, "cmdConvert")->click();
    std::printf("job_ms %lld %lld\n", static_cast<long long>(clock.elapsed()),
                ProcessorMilliseconds() - cpuBefore);
    return 0;
}

qint64 ShowAndPaint(QWidget* widget) {
    QElapsedTimer clock;
    clock.start();
    widget->show();
    QCoreApplication::processEvents();
    widget->grab();
    return clock.elapsed();
}

int Show(int rows) {
    AppForms forms;
    OptionsForm& form = forms.Options();
    FileListWindow& list = forms.FileList();
    const char* extensions[] = {".mp3", ".wav", ".wma", ".WAV"};
    SelectionLists marks;
    for (int i = 0; i < rows; ++i) {
        marks.filesToBack.Append("/music/album " + std::to_string(i / 12) + "/track " +
                                 std::to_string(i) + extensions[i % 4]);
    }
    const std::vector<ConvertRow> listed = ConvertListBuilder(marks).Build();
    QElapsedTimer clock;
    clock.start();
    for (const ConvertRow& row : listed) {
        form.AddConvertRow(row);
        list.AddFile(row);
    }
    const qint64 fill = clock.elapsed();
    const qint64 options = ShowAndPaint(&form);
    // The progress view shows lstConvert with every row.
    Control<QWidget>(&form, "panOptions")->hide();
    Control<QWidget>(&form, "panProgress")->show();
    clock.restart();
    form.repaint();
    form.grab();
    const qint64 progress = clock.elapsed();
    clock.restart();
    Control<QAbstractButton>(&form, "cmdShowFiles")->click();
    QCoreApplication::processEvents();
    list.grab();
    const qint64 fileList = clock.elapsed();
    std::printf("rows %d fill_ms %lld options_ms %lld progress_ms %lld list_ms %lld\n", rows,
                static_cast<long long>(fill), static_cast<long long>(options),
                static_cast<long long>(progress), static_cast<long long>(fileList));
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.value(0) == "job") {
        return Job(args.mid(1));
    }
    if (args.value(0) == "show") {
        return Show(args.value(1, "10000").toInt());
    }
    std::fprintf(stderr, "usage: bmc_form_bench job|show ...\n");
    return 2;
}
