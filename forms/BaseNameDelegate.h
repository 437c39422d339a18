#pragma once
// Edits a path without its extension so that typing replaces the name alone: the editor opens
// with the text after the last '/' selected, the folder kept in front of it.
#include <QStyledItemDelegate>

class BaseNameDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};
