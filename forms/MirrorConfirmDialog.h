#pragma once
// Before a mirror run: the outputs it will delete (their originals were removed) and those it
// keeps (changed or put there by someone else), each with its reason, in the overwrite
// confirmation's list style. "&Yes" runs the mirror, "&No, Cancel" goes back with nothing
// written.
#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class MirrorConfirmDialog;
}

class MirrorConfirmDialog : public QDialog {
    Q_OBJECT
public:
    explicit MirrorConfirmDialog(QWidget* parent = nullptr);
    ~MirrorConfirmDialog() override;

    // Lists an output; deleted: it goes, else it is kept for reason.
    void AddFile(const std::string& path, bool deleted, const std::string& reason);
    // Shows the list modally: true on "&Yes".
    bool Ask();

private:
    std::unique_ptr<Ui::MirrorConfirmDialog> ui;
    int deleted_ = 0;
};
