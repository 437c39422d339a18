#include "forms/SuccessMessage.h"

#include <QCheckBox>
#include <string_view>

#include "forms/AppMessage.h"
#include "system/SettingsStore.h"

namespace {
constexpr std::string_view KeepOpen = "BrConvKeepOpen";
}

bool SuccessMessage(QWidget* owner, const QString& text) {
    const std::unique_ptr<QMessageBox> box =
        MakeAppMessage(owner, QMessageBox::Information, text, QMessageBox::Ok, true);
    auto* keepOpen = new QCheckBox(QStringLiteral("Keep the program open after converting"));
    keepOpen->setObjectName(QStringLiteral("chkKeepOpen"));
    keepOpen->setAccessibleName(keepOpen->text());
    const bool stored = StoreReadNumber(StoreRoot::User, SettingsKey, KeepOpen) != 0;
    keepOpen->setChecked(stored);
    box->setCheckBox(keepOpen); // the box owns it
    box->exec();
    const bool keep = keepOpen->isChecked();
    if (keep != stored) {
        StoreWriteNumber(keep ? 1 : 0, StoreRoot::User, SettingsKey, KeepOpen);
    }
    return keep;
}
