#include "forms/BaseNameDelegate.h"

#include <QEvent>
#include <QLineEdit>

// The view selects the whole text after filling the editor and before showing it: the name is
// chosen as the editor shows.
bool BaseNameDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::Show) {
        if (auto* line = qobject_cast<QLineEdit*>(object)) {
            const QString text = line->text();
            const auto start = text.lastIndexOf(QLatin1Char('/')) + 1;
            line->setSelection(static_cast<int>(start), static_cast<int>(text.size() - start));
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
