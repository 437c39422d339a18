#pragma once
// The about box: the product's name, its version, the maker's notices and three links (the
// maker's home page, the support page and the support address). It is made for each showing.
#include <QDialog>
#include <memory>

namespace Ui {
class AboutBox;
}

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
    ~AboutBox() override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private slots:
    void imgMakerSiteClick();
    void lblSupportPageClick();
    void lblSupportAddressClick();

private:
    void FormShow();
    void ShowPictures();
    void ShowColours();

    std::unique_ptr<Ui::AboutBox> ui;
};
