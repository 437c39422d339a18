#pragma once
// The options form's progress view while a job runs: the counter, the output being written and
// its row in the conversion list, the file's and the whole job's bars, the time remaining, and the
// job's percentage in the application's title. The controls are the form's; this only fills them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/JobPlan.h"

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
    // Where the running job stands. rows names the job's inputs and outputs by row (none: the
    // output line stays as it is, and a job row is the list's row of the same number); a job
    // that is being cancelled keeps its total bar and title where they were. leadVerifying: the
    // output of the row shown is being read back rather than written.
    void Show(const JobProgress& progress, const std::vector<PlannedRow>* rows, bool cancelling,
              bool leadVerifying = false);

private:
    // The list's row of the job's row: the one of the same number, unless the job converts only
    // some of the list (a mirror), where the row of its input.
    void SelectRow(std::size_t row, const std::vector<PlannedRow>* rows);
    static void SetBarWidth(QLabel* bar, int32_t width);

    Controls controls_;
};
