#include "forms/AboutBox.h"

#include <QLinearGradient>
#include <QPainter>
#include <QShowEvent>
#include <QUrl>
#include <string>

#include "forms/FormPictures.h"
#include "forms/MakerPages.h"
#include "forms/PageOpener.h"
#include "forms/VersionText.h"
#include "ui_AboutBox.h"

namespace {
constexpr QSize DesignSize(333, 304);

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}
} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::AboutBox>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->lblSupportAddress->setText(Text(MakerSupportAddress));

    // The name in the maker's lettering: a red initial, the rest in the text colour.
    QFont name(QStringLiteral("Times New Roman"));
    name.setStyleHint(QFont::Serif);
    name.setPixelSize(24);
    name.setBold(true);
    name.setItalic(true);
    ui->lblNameInitial->setFont(name);
    ui->lblNameRest->setFont(name);
    ui->lblNameInitial->setAccessibleName(QStringLiteral("Brindlex Music Converter"));
    ui->lblNameRest->setAccessibleName(QStringLiteral("Brindlex Music Converter"));
    ShowColours();
    ShowPictures();

    connect(ui->cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->imgMakerSite, &LinkLabel::clicked, this, &AboutBox::imgMakerSiteClick);
    connect(ui->lblSupportPage, &LinkLabel::clicked, this, &AboutBox::lblSupportPageClick);
    connect(ui->lblSupportAddress, &LinkLabel::clicked, this, &AboutBox::lblSupportAddressClick);
    layout()->activate();
    setFixedSize(sizeHint().expandedTo(DesignSize));
}

AboutBox::~AboutBox() = default;

void AboutBox::ShowPictures() {
    const std::pair<QLabel*, const char*> pictures[] = {
        {ui->imgProgramIcon, "brindlex.svg"},
        {ui->imgMakerSite, "maker.svg"},
        {ui->imgAboutPicture, "about-picture.svg"},
    };
    for (const auto& [label, name] : pictures) {
        label->setPixmap(FormPictures::Pixmap(QLatin1String(name), label->minimumSize(), this));
    }
}

void AboutBox::ShowColours() {
    const bool dark = IsDark(palette());
    QPalette initial = ui->lblNameInitial->palette();
    initial.setColor(QPalette::WindowText, dark ? QColor(0xff, 0x6b, 0x6b) : QColor(Qt::red));
    ui->lblNameInitial->setPalette(initial);
    // The rule under the pictures fades in from the left to the text colour, which the box
    // continuing it to the right edge has.
    const QColor ink = palette().color(QPalette::WindowText);
    QPixmap fade(QSize(200, 2) * devicePixelRatioF());
    fade.setDevicePixelRatio(devicePixelRatioF());
    fade.fill(Qt::transparent);
    QLinearGradient gradient(0, 0, 200, 0);
    gradient.setColorAt(0, Qt::transparent);
    gradient.setColorAt(1, ink);
    QPainter(&fade).fillRect(QRect(0, 0, 200, 2), gradient);
    ui->imgRuleFade->setPixmap(fade);
    QPalette rule = ui->shpRule->palette();
    rule.setColor(QPalette::Window, ink);
    ui->shpRule->setPalette(rule);
}

void AboutBox::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        ShowColours();
    }
}

void AboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void AboutBox::FormShow() {
    std::string version;
    if (GetVersionText(&version)) {
        ui->lblVersion->setText(QStringLiteral("Version ") + Text(version));
    }
}

void AboutBox::imgMakerSiteClick() {
    PageOpener::Open(this, QUrl(Text(MakerSite)));
}

void AboutBox::lblSupportPageClick() {
    PageOpener::Open(this, QUrl(Text(MakerSupportPage)));
}

void AboutBox::lblSupportAddressClick() {
    PageOpener::Open(this, QUrl(QStringLiteral("mailto:") + Text(MakerSupportAddress)));
}
