#include "forms/JobDriver.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cctype>
#include <thread>

#include "catalog/FormatTable.h"
#include "catalog/OutputShapeOptions.h"
#include "choices/PlannedJob.h"
#include "cue/SheetInputs.h"
#include "engine/CodecCheck.h"
#include "engine/ConversionError.h"
#include "engine/ConverterChoices.h"
#include "engine/LoudnessValues.h"
#include "engine/OpenAudioSource.h"
#include "forms/AppMessage.h"
#include "forms/ApplicationTitle.h"
#include "forms/ClashQuestion.h"
#include "forms/ConversionErrorsDialog.h"
#include "forms/DesktopNotice.h"
#include "forms/MakerPages.h"
#include "forms/MirrorJob.h"
#include "forms/OverwriteDialog.h"
#include "forms/ProgressView.h"
#include "forms/RowEndsRelay.h"
#include "forms/SuccessMessage.h"
#include "jobs/JobController.h"
#include "jobs/OutputFolder.h"
#include "jobs/ProcessPoolRunner.h"
#include "jobs/ThreadRunner.h"
#include "mirror/AudioDigestObserver.h"
#include "system/CodecModules.h"
#include "system/FileNames.h"
#include "system/FileTypes.h"
#include "system/ProcessorCores.h"

namespace {
// The progress view is drawn at most once per display frame, however often it changes.
constexpr int FrameMs = 16;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A line worded for the command line ("the ... is missing") as a sentence of its own.
QString Sentence(const std::string& line) {
    QString sentence = Text(line) + QLatin1Char('.');
    sentence[0] = sentence[0].toUpper();
    return sentence;
}

// A closing message and, below it after a blank line, lines of its own.
QString WithLines(QString text, const QStringList& lines) {
    if (!lines.isEmpty()) {
        text += QLatin1Char('\n');
    }
    for (const QString& line : lines) {
        text += QLatin1Char('\n') + line;
    }
    return text;
}

// The lines worded for the command line as sentences of their own.
QStringList Sentences(const std::vector<std::string>& lines) {
    QStringList sentences;
    for (const std::string& line : lines) {
        sentences.append(Sentence(line));
    }
    return sentences;
}

// What the rows' measurements tell that is no failure: inputs left without a track gain.
QStringList MeasuredNotices(const JobResult& result, const std::vector<PlannedRow>& rows) {
    QStringList notices;
    for (std::size_t i = 0; i < result.Values.size() && i < rows.size(); ++i) {
        if (HadNoLoudness(result.Values[i])) {
            notices.append(Text(NoLoudnessNotice(rows[i].Input)));
        }
    }
    return notices;
}

// The job's counts; verified: every output was verified before it took its name, so each
// converted file counts as verified too.
QString CountsLine(const JobResult& result, bool verified) {
    QString counts = QStringLiteral("%1 converted").arg(result.Converted);
    if (verified) {
        counts += QStringLiteral(", %1 verified").arg(result.Converted);
    }
    counts += QStringLiteral(", %1 failed").arg(result.Failed);
    if (result.Skipped > 0) {
        counts += QStringLiteral(", %1 skipped").arg(result.Skipped);
    }
    if (result.Unfinished > 0) {
        counts +=
            (result.Stopped == JobResult::Stop::Cancelled ? QStringLiteral(", %1 cancelled")
                                                          : QStringLiteral(", %1 not converted"))
                .arg(result.Unfinished);
    }
    return counts;
}

// The rows of a plan whose outputs exist already, or the outputs it writes (each once).
std::size_t CountRows(const JobPlan& plan, bool existing) {
    const std::vector<PlannedRow>& rows = plan.Rows();
    return static_cast<std::size_t>(
        std::count_if(rows.begin(), rows.end(), [&](const PlannedRow& r) {
            return existing ? r.OutputExists : !r.SameOutputAs;
        }));
}
} // namespace

JobDriver::JobDriver(QWidget& window, ProgressView& view, const JobEnvironment& environment)
    : window_(window), view_(view), environment_(environment), createSource_(OpenAudioSource) {}

JobDriver::~JobDriver() = default;

void JobDriver::Attach(OverwriteDialog& overwrite, ConversionErrorsDialog& errors) {
    overwrite_ = &overwrite;
    errors_ = &errors;
}

void JobDriver::SetSourceFactory(RowConverter::SourceFactory factory) {
    createSource_ = std::move(factory);
    ownSources_ = true;
}

// --- Before the job --------------------------------------------------------------------------

bool JobDriver::Ready(JobOrder order) {
    order_ = std::move(order);
    errors_->Clear();
    mirror_.reset();
    if (Mirrors()) {
        const bool ready = !RefusedByFormat() && !RefusedForMissingModules() &&
                           !RefusedForSampleRate() && !RefusedForNaming() && FolderReady() &&
                           MirrorReady() && !quitting_;
        if (!ready) {
            mirror_.reset(); // its journal is let go at once: another run may take it
        }
        return ready;
    }
    SplitWholeInputs();
    // A question answered by the program's ending starts nothing.
    return !RefusedByFormat() && !RefusedForMissingModules() && !RefusedForSampleRate() &&
           !RefusedForNaming() && ClashesSettled() && FolderReady() && OverwritesConfirmed() &&
           !quitting_;
}

bool JobDriver::RefusedByFormat() {
    const std::string refusal =
        JobRefusal(order_.Destination.Target, order_.Inputs, environment_.Codecs.Folders());
    if (refusal.empty()) {
        return false;
    }
    const QString question =
        Text(refusal) + QStringLiteral("\n\nJump to Brindlex's Download Page?");
    if (AppMessage(&window_, QMessageBox::Critical, question, QMessageBox::Yes | QMessageBox::No) ==
        QMessageBox::Yes) {
        QDesktopServices::openUrl(QUrl(Text(MakerDownloadPage)));
    }
    return true;
}

// The newer formats' modules: without one, the job would fail every file that needs it.
bool JobDriver::RefusedForMissingModules() {
    const std::vector<std::string> missing =
        MissingCodecModules(order_.Destination.Target, order_.Inputs, environment_.Codecs.Folders(),
                            /*forWindow=*/true);
    if (missing.empty()) {
        return false;
    }
    QString text;
    for (const std::string& line : missing) {
        text += Sentence(line) + QLatin1Char('\n');
    }
    AppMessage(&window_, QMessageBox::Critical, text + QStringLiteral("\nNothing was converted."));
    return true;
}

// The rate list offers every format's rates: a rate chosen for another format may be more than
// the target's encoder writes.
bool JobDriver::RefusedForSampleRate() {
    ConversionSettings settings;
    order_.Choices.ApplyTo(settings);
    settings.TargetFormat = order_.Destination.Target;
    const std::optional<int32_t> rate = UnwritableSampleRate(settings);
    if (!rate) {
        return false;
    }
    const FormatInfo* format = FindTargetFormat(settings.TargetFormat);
    AppMessage(&window_, QMessageBox::Critical,
               QStringLiteral("%1 output takes a sample rate of at most %2 Hz, not %3 Hz.\n\n"
                              "Nothing was converted.")
                   .arg(Text(format->Name))
                   .arg(MostSampleRateOf(settings.TargetFormat))
                   .arg(*rate));
    return true;
}

// A pattern that cannot be read names no output: it is refused before the plan asks about clashes
// or existing outputs, in the command line's words.
bool JobDriver::RefusedForNaming() {
    const std::string refusal = order_.Planned().NamingRefusal();
    if (refusal.empty()) {
        return false;
    }
    AppMessage(&window_, QMessageBox::Warning, Text(refusal));
    return true;
}

// Outputs that several inputs would write lose all but one: the user keeps the folder tree (where
// that parts them) or goes back to change the choices.
bool JobDriver::ClashesSettled() {
    const PlannedJob planned = order_.Planned();
    const std::vector<std::string> clashes = planned.ClashLines();
    if (clashes.empty()) {
        return true;
    }
    if (AskAboutClashes(window_, clashes, planned.KeepingTheTreeWouldHelp())) {
        order_.KeepTree = true;
        return true;
    }
    return false;
}

// The chosen folder: typed as a full path, there (or made, with its parents, when the user
// agrees) and writable, before anything is converted into it.
bool JobDriver::FolderReady() {
    const PlannedJob planned = order_.Planned();
    if (const std::string refusal = planned.FolderRefusal(); !refusal.empty()) {
        AppMessage(&window_, QMessageBox::Warning, Text(refusal));
        return false;
    }
    const DestinationSettings destination = order_.Destination;
    if (destination.SameFolder) {
        return true;
    }
    const std::string& folder = destination.Folder;
    if (planned.FolderMissing() &&
        AppMessage(&window_, QMessageBox::Question,
                   Text("The folder '" + folder + "' does not exist. Create it?"),
                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        return false;
    }
    if (std::string failure = PrepareOutputFolder(folder); !failure.empty()) {
        failure.front() =
            static_cast<char>(std::toupper(static_cast<unsigned char>(failure.front())));
        AppMessage(&window_, QMessageBox::Critical, Text(failure + "."));
        return false;
    }
    return true;
}

bool JobDriver::OverwritesConfirmed() {
    overwrite_->ClearFiles();
    const PlannedJob planned = order_.Planned();
    const JobPlan unrenamed = planned.Plan();
    for (const std::size_t row : unrenamed.ExistingOutputs()) {
        // An output that several rows write is listed once: one answer, one new name.
        const PlannedRow& existing = unrenamed.Rows()[row];
        if (!existing.SameOutputAs) {
            overwrite_->AddFile(existing.Output, PlannedJob::IsOriginalItself(existing));
        }
    }
    const OverwriteDialog::Answer answer = overwrite_->Count() > 0
                                               ? overwrite_->Ask(CountRows(unrenamed, false))
                                               : OverwriteDialog::Answer::Replace;
    if (answer == OverwriteDialog::Answer::Cancel) {
        return false;
    }
    // The settings and the rename table stay as they are until the job has ended.
    plan_.emplace(planned.Plan(overwrite_->Renames()));
    keepTree_ = planned.MakesFolders();
    replaceable_.clear();
    for (const std::size_t row : plan_->ExistingOutputs()) {
        replaceable_.insert(plan_->Rows()[row].Output);
    }
    skipListed_ = answer == OverwriteDialog::Answer::Skip;
    if (skipListed_ && CountRows(*plan_, true) == plan_->Rows().size()) {
        AppMessage(&window_, QMessageBox::Information,
                   QStringLiteral("Every output exists already; nothing was converted."));
        return false;
    }
    return true;
}

bool JobDriver::Mirrors() const {
    return order_.Choices.Mirror && !order_.Destination.SameFolder;
}

bool JobDriver::MirrorReady() {
    mirror_ = std::make_unique<MirrorJob>(window_, environment_);
    if (!mirror_->Ready(order_, SettingsOf())) {
        mirror_.reset();
        return false;
    }
    return true;
}

// Albums become their tracks before anything is planned, as on the command line. Tracks marked
// in the selector are rows already; the rest is split here: a sheet that could not be read fails
// with its error line, and a FLAC album is split by its own sheet when the order says so.
void JobDriver::SplitWholeInputs() {
    order_.Parts.resize(order_.Inputs.size());
    order_.SubFolders.resize(order_.Inputs.size());
    JobOrder whole = order_;
    whole.Inputs.clear();
    whole.SubFolders.clear();
    JobOrder kept = whole;
    kept.Parts.clear();
    for (std::size_t i = 0; i < order_.Inputs.size(); ++i) {
        JobOrder& into = order_.Parts[i] ? kept : whole;
        into.Inputs.push_back(std::move(order_.Inputs[i]));
        into.SubFolders.push_back(std::move(order_.SubFolders[i]));
        if (order_.Parts[i]) {
            kept.Parts.push_back(std::move(order_.Parts[i]));
        }
    }
    SplitInputs split = SplitAlbums(whole.Inputs, whole.SubFolders, {{}, order_.Choices.Split});
    kept.Inputs.insert(kept.Inputs.end(), whole.Inputs.begin(), whole.Inputs.end());
    kept.SubFolders.insert(kept.SubFolders.end(), whole.SubFolders.begin(), whole.SubFolders.end());
    kept.Parts.insert(kept.Parts.end(), split.parts.begin(), split.parts.end());
    kept.Parts.resize(kept.Inputs.size());
    splitFailures_ = std::move(split.failures);
    order_ = std::move(kept);
}

// --- The job ---------------------------------------------------------------------------------

ConversionSettings JobDriver::SettingsOf() const {
    ConversionSettings settings;
    settings.WaveOutputFormat = order_.WaveFormat;
    order_.Choices.ApplyTo(settings);
    return settings;
}

JobDriver::Next JobDriver::Run() {
    running_ = true;
    view_.Start();
    settings_ = SettingsOf();
    std::vector<std::string> lines;
    JobResult result;
    if (mirror_) {
        result = RunMirror(lines);
    } else {
        std::vector<std::string> listed(replaceable_.begin(), replaceable_.end());
        result = RunJob(plan_->Rows(),
                        ReplaceableOutputs(listed, false,
                                           skipListed_ ? ReplaceableOutputs::Listed::Skipped
                                                       : ReplaceableOutputs::Listed::Replaced),
                        keepTree_, environment_);
        lines = std::move(splitFailures_);
        result.Failed += lines.size();
        lines.insert(lines.end(), result.Lines.begin(), result.Lines.end());
    }
    for (const std::string& line : lines) {
        errors_->AddLine(Text(line));
    }
    running_ = false;
    const Next next = EndJob(result, lines, mirror_ ? mirrorRows_ : plan_->Rows());
    // The journal is let go with the run: another run, here or on the command line, may take it.
    mirror_.reset();
    return next;
}

// The items without an encoder first, then the job of the rest, each row finished in the journal
// as the job ends it.
JobResult JobDriver::RunMirror(std::vector<std::string>& lines) {
    JobResult result;
    if (!mirror_->Start()) {
        lines.push_back("Unable to write to '" + order_.Destination.Folder + "'.");
        return result;
    }
    MirrorPass& pass = mirror_->Pass();
    std::vector<std::string> replaced;
    mirrorRows_ = pass.StartEncoding(replaced);
    if (!mirrorRows_.empty() && !cancelRequested_ && !quitting_) {
        // The conversions take the digests of the sources' audio on the way.
        JobEnvironment observed = environment_;
        AudioDigestObserver::Observe(observed);
        result = RunJob(mirrorRows_, ReplaceableOutputs(replaced, false), true, observed,
                        [&pass](std::size_t row, RowOutcome outcome, const RowValues& values) {
                            pass.RowEnded(row, outcome, values);
                        });
        pass.JobEnded(result.Lines);
    }
    pass.Finish();
    lines = pass.Lines();
    return result;
}

std::unique_ptr<JobRunner> JobDriver::MakeRunner(RowConverter& converter,
                                                 const JobEnvironment& environment,
                                                 std::size_t rows) {
    const uint32_t stored = order_.Choices.Jobs;
    const std::size_t jobs = std::min<std::size_t>(stored == 0 ? ProcessorCores() : stored, rows);
    if (jobs > 1 && !ownSources_) {
        auto pool = std::make_unique<ProcessPoolRunner>(environment.WorkerProgram, settings_, jobs,
                                                        environment.ObserversName);
        std::string problem;
        if (pool->Start(problem)) {
            return pool;
        }
    }
    return std::make_unique<ThreadRunner>(converter);
}

// Runs the job on a thread of its own while this one goes on with the window; each display
// frame shows the latest figures once.
JobResult JobDriver::RunJob(const std::vector<PlannedRow>& rows,
                            const ReplaceableOutputs& replaceable, bool makeFolders,
                            const JobEnvironment& environment, const RowEndedHook& ended) {
    RowConverter converter(settings_, environment, createSource_);
    const std::unique_ptr<JobRunner> runner = MakeRunner(converter, environment, rows.size());
    JobController job(rows, replaceable, makeFolders);
    job.FinishPendingWith(converter);
    progress_.Clear();
    jobRows_ = &rows;
    job_ = &job;
    if (cancelRequested_ || quitting_) {
        job.Cancel();
    }
    QEventLoop loop;
    QTimer frame;
    QObject::connect(&frame, &QTimer::timeout, &loop, [this] {
        if (const auto latest = progress_.Take()) {
            ShowProgress(latest->Figures, latest->LeadVerifying);
        }
    });
    frame.start(FrameMs);
    RowEndsRelay observer(progress_, ended);
    JobResult result;
    std::thread thread([&] {
        result = job.Run(*runner, observer);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    thread.join();
    job_ = nullptr;
    if (const auto latest = progress_.Take()) {
        ShowProgress(latest->Figures, latest->LeadVerifying);
    }
    jobRows_ = nullptr;
    return result;
}

void JobDriver::ShowProgress(const JobProgress& progress, bool leadVerifying) {
    view_.Show(progress, jobRows_, progress_.IsCancelling(), leadVerifying);
}

// --- Cancelling ------------------------------------------------------------------------------

void JobDriver::AskToCancel() {
    if (cancelRequested_) {
        return; // asked and answered already; the job is stopping
    }
    if (AppMessage(&window_, QMessageBox::Question, QStringLiteral("Cancel Conversion and Quit?"),
                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        cancelRequested_ = true;
        if (job_) {
            job_->Cancel();
        }
    }
}

void JobDriver::EndForQuit() {
    quitting_ = true;
    if (job_) {
        job_->Cancel();
    }
}

// --- The end of the job ----------------------------------------------------------------------

JobDriver::Next JobDriver::EndJob(const JobResult& result, const std::vector<std::string>& lines,
                                  const std::vector<PlannedRow>& rows) {
    if (!quitting_) {
        NoticeIfUnseen(result);
    }
    if (quitting_) {
        return Next::EndProgram;
    }
    // The stored settings the job could not use, and the rows it skipped, are told with its
    // end, but only the errors form lists them: alone they would make it say that files failed.
    std::vector<std::string> notices = order_.Choices.Notices;
    if (mirror_ && !mirror_->JournalLine().empty()) {
        notices.push_back(mirror_->JournalLine());
    }
    if (result.Skipped > 0) {
        notices.push_back(result.Skipped == 1
                              ? "1 file was skipped, as its output exists already"
                              : std::to_string(result.Skipped) +
                                    " files were skipped, as their outputs exist already");
    }
    const QStringList told = Sentences(notices) + MeasuredNotices(result, rows);
    if (cancelRequested_) {
        // The files the cancel cut short are named: none of them was kept.
        QStringList notKept;
        for (const std::string& line : result.NotKept) {
            notKept.append(Text(line));
        }
        AppMessage(&window_, QMessageBox::Information,
                   WithLines(WithLines(QStringLiteral("Conversion was cancelled."), notKept), told),
                   QMessageBox::Ok, true);
        return Next::BackToSelector;
    }
    // Verified outputs are counted, as the command line counts them.
    const bool verified = settings_.Verify;
    const QString counts = verified ? CountsLine(result, true) : QString();
    QString done = QStringLiteral("All files have now been converted.");
    if (mirror_) {
        done = mirror_->Counts(verified);
    } else if (verified) {
        done = WithLines(done, {counts});
    }
    if (lines.empty()) {
        const bool keepOpen = SuccessMessage(&window_, WithLines(done, told));
        return keepOpen ? Next::BackToSelector : Next::EndProgram;
    }
    for (const QString& line : told) {
        errors_->AddLine(line);
    }
    if (mirror_) {
        errors_->AddLine(done);
    } else if (verified) {
        errors_->AddLine(counts);
    }
    errors_->ShowModal();
    return Next::BackToSelector;
}

// A job that ended while the user worked elsewhere is told on the desktop too.
void JobDriver::NoticeIfUnseen(const JobResult& result) {
    if (window_.isActiveWindow()) {
        return;
    }
    const QString counts = CountsLine(result, settings_.Verify);
    const QString summary = cancelRequested_ ? QStringLiteral("Conversion was cancelled")
                            : result.Lines.empty()
                                ? QStringLiteral("All files have now been converted")
                                : QStringLiteral("Conversion complete, with problems");
    DesktopNotice::Send(summary, counts);
}
