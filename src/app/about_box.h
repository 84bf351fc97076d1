// frmSplash: the About box, which also serves as the splash screen (without its button).
#pragma once

#include <QImage>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;

class AboutBox : public QWidget {
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);
    void load() {}

    QGroupBox *Frame1 = nullptr;
    QLabel *imgLogo = nullptr;
    QLabel *lblCompanyProduct = nullptr;
    QLabel *lblProductName = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *Command1 = nullptr;

    void Command1_Click();

    // Shows `picture`, a drawing of this box made earlier (the box's device pixels), in place
    // of the controls; a null picture brings the controls back.
    void showPicture(const QImage &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};
