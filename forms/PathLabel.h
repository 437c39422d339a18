#pragma once
// A one-line label for text that ends in a path: when the text is wider than the label, its
// middle gives way, so the file name at the end stays readable. The whole text is its tooltip
// and its accessible name.
#include <QLabel>

class PathLabel : public QLabel {
    Q_OBJECT
public:
    explicit PathLabel(QWidget* parent = nullptr);

    void SetFullText(const QString& text);

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Elide();

    QString fullText_;
};
