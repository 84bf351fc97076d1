#include "app/about_box.h"

#include "controls/keyboard.h"
#include "controls/lazy_icon.h"
#include "controls/pictures.h"
#include "controls/twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

AboutBox::AboutBox(QWidget *parent) : QWidget(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString());
    // The box shows no caption; a screen reader still tells what it is.
    setAccessibleName(QStringLiteral("About Tallowby"));
    setWindowIcon(LazyLogoIcon());
    // "Close" unloads the box; the next showing creates it afresh.
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twipsSize(5805, 3240));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 255, 255));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(120, 0, 5640, 3210));

    // The frame holds the other controls; their designed places are within the frame, which
    // keeps every text clear of the frame's border.
    auto label = [this](const char *name, const QString &text, QRect geometry, const QFont &font) {
        auto *l = new QLabel(text, Frame1);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(geometry);
        l->setFont(font);
        return l;
    };
    // The small labels use the desktop's own font size: 8.25 point is the size of the standard
    // dialog font at the designed density.
    const QFont base = font();
    QFont bold = base;
    bold.setBold(true);
    QFont company(QStringLiteral("Arial"));
    company.setPointSizeF(18);
    QFont product(QStringLiteral("Arial"));
    product.setPointSizeF(21.75);
    product.setBold(true);
    // At these sizes the outlines read as well without being fitted to the pixel grid, and
    // fitting them is a good part of drawing the splash screen while the program starts.
    company.setHintingPreference(QFont::PreferNoHinting);
    product.setHintingPreference(QFont::PreferNoHinting);

    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(twipsRect(360, 480, 1215, 1425));
    imgLogo->setPixmap(Pictures::logo(32));
    imgLogo->setScaledContents(true);

    // The publisher's texts are short enough for their designed widths.
    lblCompanyProduct = label("lblCompanyProduct", QStringLiteral("Wickfield"),
                              twipsRect(1920, 480, 2085, 420), company);
    lblProductName = label("lblProductName", QStringLiteral("Tallowby"),
                           twipsRect(1920, 960, 3150, 510), product);
    Label4 = label("Label4", QStringLiteral("Version 1.2"), twipsRect(1920, 1560, 1335, 255), bold);
    Label3 = label("Label3", QStringLiteral("Contact us:"), twipsRect(120, 2280, 1215, 255), bold);
    Label1 = label("Label1", QStringLiteral("www.wickfield.test"), twipsRect(120, 2520, 2535, 255),
                   base);
    Label2 = label("Label2", QStringLiteral("help@wickfield.test"), twipsRect(120, 2760, 2175, 255),
                   base);

    Command1 = new QPushButton(QStringLiteral("Close"), Frame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(4320, 2640, 1095, 375));
    connect(Command1, &QPushButton::clicked, this, &AboutBox::Command1_Click);
    Keyboard::setDialogKeys(this, Command1);
}

void AboutBox::Command1_Click()
{
    close();
}

void AboutBox::showPicture(const QImage &picture)
{
    m_picture = picture;
    Frame1->setVisible(picture.isNull());
    // A screen reader still reads what the picture shows.
    QStringList texts;
    if (!picture.isNull())
        for (const QLabel *label :
             {lblCompanyProduct, lblProductName, Label4, Label3, Label1, Label2})
            texts << label->text();
    setAccessibleDescription(texts.join(QLatin1Char('\n')));
    update();
}

void AboutBox::paintEvent(QPaintEvent *event)
{
    if (m_picture.isNull())
        return QWidget::paintEvent(event);
    // The picture holds the box's device pixels one for one, whatever its own pixel ratio.
    QPainter(this).drawImage(QRectF(QPointF(0, 0), QSizeF(m_picture.size()) / devicePixelRatioF()),
                             m_picture);
}
