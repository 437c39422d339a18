#pragma once
// Helpers of the window tests: a private settings folder and scratch folder per test, the forms
// created as the program creates them, modal dialogs answered as soon as they run, and the
// independent tools (sox, ffprobe) that make and check audio files.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/AppForms.h"
#include "forms/JobDriver.h"
#include "forms/OptionsForm.h"
#include "selector/ConvertListBuilder.h"
#include "system/CodecModule.h"

namespace formtest {

// A fresh folder with a settings folder inside, set as the configuration home for its lifetime.
class Scratch {
public:
    Scratch() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bmc-form-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern + "/";
        }
        std::filesystem::create_directories(path_ + "config");
        setenv("XDG_CONFIG_HOME", (path_ + "config").c_str(), 1);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

inline std::string Run(const std::string& command) {
    std::string output;
    // Nothing run here may read the terminal.
    if (FILE* pipe = popen((command + " </dev/null").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            output.append(buffer, n);
        }
        pclose(pipe);
    }
    return output;
}

// A sine tone of the given length made by sox.
inline void MakeTone(const std::string& path, double seconds, int rate = 44100, int channels = 2,
                     int bits = 16) {
    Run("sox -q -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b " +
        std::to_string(bits) + " '" + path + "' synth " + std::to_string(seconds) +
        " sine 440 gain -6");
}

// "codec_name=...\nsample_rate=...\nchannels=...\n" of the first audio stream, from ffprobe.
inline std::string Probe(const std::string& path) {
    return Run("ffprobe -v error -select_streams a:0 -show_entries "
               "stream=codec_name,sample_rate,channels -of default=nw=1 '" +
               path + "' 2>&1");
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A dark desktop's palette.
inline QPalette DarkPalette() {
    QPalette dark(QColor(0x3c, 0x3c, 0x3c), QColor(0x2d, 0x2d, 0x30)); // button, window
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, Qt::white);
        dark.setColor(QPalette::Disabled, role, Qt::gray);
    }
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Highlight, QColor(0x26, 0x4f, 0x78));
    return dark;
}

template <typename T> T* Child(QWidget* parent, const char* name) {
    T* child = parent->findChild<T*>(QLatin1String(name));
    if (!child) {
        qFatal("no control %s", name);
    }
    return child;
}

// The control after from in its window's tab order that Tab would reach (shown or not).
inline QWidget* NextTabStop(QWidget* from) {
    QWidget* next = from->nextInFocusChain();
    while (next != from && !(next->focusPolicy() & Qt::TabFocus)) {
        next = next->nextInFocusChain();
    }
    return next;
}

// The rows of these files as the file selector lists them.
inline std::vector<ConvertRow> RowsOf(const std::vector<std::string>& paths) {
    SelectionLists marks;
    for (const std::string& path : paths) {
        marks.filesToBack.Append(path);
    }
    return ConvertListBuilder(marks).Build();
}

// A dialog seen while a test ran: its kind, caption and text.
struct SeenDialog {
    QString Kind;
    QString Title;
    QString Text;
};

// Answers modal dialogs in the order they open. Each answer runs inside the dialog's own event
// loop, as soon as that loop starts; a dialog without an answer left is cancelled, so a test never
// hangs on an unexpected one.
class ModalAnswerer : public QObject {
public:
    using Answer = std::function<void(QDialog*)>;

    ModalAnswerer() { qApp->installEventFilter(this); }
    ~ModalAnswerer() override { qApp->removeEventFilter(this); }

    ModalAnswerer& Then(Answer answer) {
        answers_.push_back(std::move(answer));
        return *this;
    }
    // Clicks the button whose text is text ("&Yes", "OK").
    ModalAnswerer& Click(const QString& text) {
        return Then([text](QDialog* dialog) { ClickButton(dialog, text); });
    }

    const std::vector<SeenDialog>& Seen() const { return seen_; }
    bool AllAnswered() const { return answers_.empty(); }

    static void ClickButton(QDialog* dialog, const QString& text) {
        for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
            if (button->text() == text && button->isVisible()) {
                button->click();
                return;
            }
        }
        qWarning("no button %s", qPrintable(text));
        dialog->reject();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() != QEvent::Show || !dialog || !dialog->isModal()) {
            return false;
        }
        const auto* box = qobject_cast<QMessageBox*>(dialog);
        seen_.push_back({QString::fromLatin1(dialog->metaObject()->className()),
                         dialog->windowTitle(), box ? box->text() : QString()});
        Answer answer = answers_.empty() ? Answer([](QDialog* d) { d->reject(); })
                                         : std::move(answers_.front());
        if (!answers_.empty()) {
            answers_.pop_front();
        }
        QPointer<QDialog> target(dialog);
        QMetaObject::invokeMethod(
            this,
            [target, answer] {
                if (target) {
                    // As a user's click would: keyboard focus and shortcuts go to this dialog.
                    QApplication::setActiveWindow(target);
                    answer(target);
                }
                // An answer that failed half way must not leave the test waiting on its dialog.
                if (target && target->isVisible()) {
                    target->reject();
                }
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    std::deque<Answer> answers_;
    std::vector<SeenDialog> seen_;
};

// The forms as the program creates them, with the two ways out of a job recorded.
class Forms {
public:
    // codecFolders: where the jobs' codec modules come from; the build's own unless given.
    explicit Forms(std::vector<std::string> codecFolders = {std::string(BMC_CODEC_DIR) + "/"}) {
        forms_ = std::make_unique<AppForms>(FolderTree::Locations::FromEnvironment(),
                                            std::move(codecFolders),
                                            std::string(BMC_BINARY_DIR) + "/brindlex-convert");
        Options().OnBackToSelector = [this] { ++backToSelector; };
        Options().OnEndProgram = [this] { ++endProgram; };
    }
    OptionsForm& Options() { return forms_->Options(); }
    AppForms& All() { return *forms_; }
    // Destroys the forms, which saves the options form's choices.
    void Destroy() { forms_.reset(); }

    template <typename T = QWidget> T* Control(const char* name) {
        return Child<T>(&Options(), name);
    }
    // Shows the options form with these inputs, as the file selector does.
    void ShowWith(const std::vector<std::string>& inputs) {
        Options().hide();
        Options().ClearConvertList();
        for (const ConvertRow& row : RowsOf(inputs)) {
            Options().AddConvertRow(row);
        }
        Options().show();
    }
    // Shows the options form with the files of a folder marked with its sub-folders.
    void ShowWithFolder(const std::string& folder) {
        SelectionLists marks;
        marks.dirsToFullyBack.Append(folder);
        Options().hide();
        Options().ClearConvertList();
        for (const ConvertRow& row : ConvertListBuilder(marks).Build()) {
            Options().AddConvertRow(row);
        }
        Options().show();
    }
    // Presses "&Convert"; returns once the job and its closing dialogs are over.
    void Convert() { QTest::mouseClick(Control<QAbstractButton>("cmdConvert"), Qt::LeftButton); }

    int backToSelector = 0;
    int endProgram = 0;

private:
    std::unique_ptr<AppForms> forms_;
};

} // namespace formtest
