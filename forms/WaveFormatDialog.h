#pragma once
// The "Wave Output Format" chooser: a format tag, then one of the formats the wave format catalog
// writes for it. It opens on the current format.
#include <QDialog>
#include <array>
#include <memory>
#include <vector>

#include "choices/WaveFormatChoices.h"
#include "catalog/ConversionSettings.h"

namespace Ui {
class WaveFormatDialog;
}

class WaveFormatDialog : public QDialog {
    Q_OBJECT
public:
    explicit WaveFormatDialog(QWidget* parent = nullptr);
    ~WaveFormatDialog() override;

    // Shows the chooser on buffer's format. On OK the chosen record, extra bytes included, is
    // written to the start of buffer (the rest stays) and the result is true; otherwise buffer is
    // untouched.
    bool Choose(std::array<uint8_t, WaveOutputFormatSize>& buffer);
    // Fills the lists and selects buffer's format, without showing anything.
    void OpenOn(const std::array<uint8_t, WaveOutputFormatSize>& buffer);

private slots:
    void cmbFormatTagChange(int item);

private:
    std::unique_ptr<Ui::WaveFormatDialog> ui;
    std::unique_ptr<WaveFormatChoices> choices_;
    std::vector<WaveFormatChoice> formats_; // of the chosen tag
};
