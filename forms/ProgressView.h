#pragma once
// The options form's progress view while a job runs: the counter, the output being written and
// its row in the conversion list, the file's and the whole job's bars, the time remaining, and the
// job's percentage in the application's title. The controls are the form's; this only fills them.
#include <cstddef>
#include <cstdint>

class JobPlan;
class PathLabel;
class QLabel;
class QTreeWidget;
class QWidget;
struct JobProgress;

class ProgressView {
public:
    struct Controls {
        QTreeWidget* rows;  // the conversion list
        QLabel* counter;    // "Converted N of M"
        PathLabel* writing; // the output being written
        QLabel* fileBar;    // the bars' pictures, as wide as their share done
        QLabel* totalBar;
        QLabel* timeRemaining;
    };

    // window: the form, whose screen the bars' picture is drawn for.
    ProgressView(const Controls& controls, const QWidget& window);

    // A job starts: nothing converted yet, the outputs being prepared.
    void Start();
    // Where the running job stands. plan names the outputs by row (none: the output line stays
    // as it is); a job that is being cancelled keeps its total bar and title where they were.
    void Show(const JobProgress& progress, const JobPlan* plan, bool cancelling);

private:
    void SelectRow(std::size_t row);
    static void SetBarWidth(QLabel* bar, int32_t width);

    Controls controls_;
};
