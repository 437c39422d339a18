#include "forms/ApplicationTitle.h"

ApplicationTitle& ApplicationTitle::Instance() {
    static ApplicationTitle title;
    return title;
}

void ApplicationTitle::Set(const QString& text) {
    ApplicationTitle& title = Instance();
    if (title.text_ != text) {
        title.text_ = text;
        emit title.Changed(text);
    }
}
