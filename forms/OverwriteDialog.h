#pragma once
// The overwrite confirmation: lists the outputs of a job that exist already. "&Yes" lets the job
// replace them, "&Skip These" converts only the others and leaves them as they are, "&No, Cancel"
// stops it; a listed file can first be given a new name (right-click "&Rename", or F2), and is
// then left alone while its output goes to the new name. A new name without a folder stays in the
// folder of the file it renames.
#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "choices/RenameCheck.h"
#include "engine/RenameTable.h"
#include "selector/TypeDescriptionCache.h"

namespace Ui {
class OverwriteDialog;
}
class QMenu;
class QMouseEvent;
class QTreeWidgetItem;

class OverwriteDialog : public QDialog {
    Q_OBJECT
public:
    enum class Answer { Cancel, Replace, Skip };

    explicit OverwriteDialog(QWidget* parent = nullptr);
    ~OverwriteDialog() override;

    // Removes every row and empties the rename table.
    void ClearFiles();
    // Lists an existing output; originalItself marks one that is the input it is made from.
    void AddFile(const std::string& path, bool originalItself = false);
    int Count() const;
    // Shows the rows listed as part of all the job's outputs, modally; the user's answer.
    Answer Ask(std::size_t outputs);
    // The new names the user gave existing outputs, for the job's plan.
    const RenameTable& Renames() const { return renames_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void cmdYesClick();
    void cmdSkipClick();
    void actRenameClick();

private:
    void lstExistingMouseUp(QMouseEvent* event);
    void CaptionEdited(QTreeWidgetItem* item, int column);
    std::vector<OverwriteRow> Rows() const;
    bool TakeRenames();

    std::unique_ptr<Ui::OverwriteDialog> ui;
    QMenu* renameMenu_ = nullptr;
    TypeDescriptionCache descriptions_;
    RenameTable renames_;
};
