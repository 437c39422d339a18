#include "forms/StateImageList.h"

#include "forms/FormPictures.h"

StateImageList::StateImageList() {
    for (int i = 0; i < StateImageCount; ++i) {
        icons_[i] = FormPictures::Icon(QStringLiteral("state-%1.svg").arg(i));
    }
}

QIcon StateImageList::Icon(int state) const {
    return state >= 0 && state < StateImageCount ? icons_[state] : QIcon();
}
