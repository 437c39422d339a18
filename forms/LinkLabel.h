#pragma once
// A label that opens something when clicked: a text drawn as a link (underlined, in the palette's
// link colour, lightened on a dark window) or a picture, with the pointing hand. It takes keyboard
// focus with Tab, and Enter or Space activate it as a click does.
#include <QLabel>

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ShowAsLink();
};
