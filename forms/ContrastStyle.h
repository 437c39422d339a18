#pragma once
// The desktop's style, with radio buttons and check boxes that stay visible on a dark palette.
// Fusion (Qt's style where the desktop names none) draws their outline a shade darker than the
// window, which on a dark window is as dark as the empty box itself: an unticked "Mono" or "Keep
// folder tree" showed as a shapeless dark spot. On a dark palette under Fusion the outline is
// drawn halfway between the window and its text; other styles and light palettes are untouched.
#include <QProxyStyle>

class ContrastStyle : public QProxyStyle {
public:
    // Wraps the application's style of the moment (the desktop's, or -style's) and installs it.
    static void Install();

    explicit ContrastStyle(const QString& baseKey);
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

private:
    bool fusion_;
};
