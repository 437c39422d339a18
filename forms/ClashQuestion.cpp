#include "forms/ClashQuestion.h"

#include <QMessageBox>
#include <QPushButton>

#include "forms/ApplicationTitle.h"

namespace {
// The clashing outputs named in the question itself; the rest are behind "Show Details...".
constexpr std::size_t ClashesShown = 8;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

bool AskAboutClashes(QWidget& window, const std::vector<std::string>& clashes, bool treeHelps) {
    QString text = QStringLiteral("These files would each be written from more than one "
                                  "original, and all but one of them would be lost:\n");
    QString details;
    for (std::size_t i = 0; i < clashes.size(); ++i) {
        (i < ClashesShown ? text : details) += QStringLiteral("\n") + Text(clashes[i]);
    }
    if (clashes.size() > ClashesShown) {
        text += QStringLiteral("\n... and %1 more.").arg(clashes.size() - ClashesShown);
    }
    text += treeHelps ? QStringLiteral("\n\nKeep the folder tree below the chosen folder, so that "
                                       "each file keeps the folder it had?")
                      : QStringLiteral("\n\nPlease go back and choose another format or folder.");
    QMessageBox box(QMessageBox::Warning, ApplicationTitle::Text(), text, QMessageBox::NoButton,
                    &window);
    if (!details.isEmpty()) {
        box.setDetailedText(details.mid(1));
    }
    QPushButton* keep =
        treeHelps ? box.addButton(QStringLiteral("&Keep Folder Tree"), QMessageBox::AcceptRole)
                  : nullptr;
    box.setDefaultButton(box.addButton(QStringLiteral("&Go Back"), QMessageBox::RejectRole));
    box.exec();
    return keep && box.clickedButton() == keep;
}
