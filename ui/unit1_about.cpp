// The About page of TForm1: two pictures in the same place that swap on a
// click, fixed captions, StaticText10 and the hidden CheckBox6 whose checking
// runs the post-load step.
#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <array>

#include "cipher/keyed.h"
#include "ui/jpeg_image.h"
#include "ui/unit1.h"
#include "ui/widgets.h"

namespace tazu {
namespace {

// StaticText10's text, kept enciphered in the program, and its key.
constexpr std::array<std::uint8_t, 24> kAboutText = {
    0xC5, 0x9C, 0xEB, 0xD1, 0xA3, 0x65, 0xEA, 0x5B, 0xF3, 0x91, 0x92, 0xD3,
    0xCA, 0xE7, 0x97, 0x91, 0xCD, 0xD6, 0xCB, 0xE5, 0x76, 0xDC, 0xC3, 0x48};
constexpr std::string_view kAboutTextKey = "Tazu16x32 About text key";
static_assert(kAboutTextKey.size() == 24, "");

QByteArray ReadResource(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ClickableImage* MakePicture(const QImage& image, const char* name) {
    auto* picture = new ClickableImage;
    picture->setObjectName(QString::fromLatin1(name));
    picture->setFixedSize(240, 180);
    picture->setAlignment(Qt::AlignCenter);
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setPixmap(QPixmap::fromImage(image));
    picture->setCursor(Qt::PointingHandCursor);
    return picture;
}

}  // namespace

QWidget* TForm1::BuildAboutPage() {
    auto* page = new QWidget;
    Image1 = MakePicture(QImage::fromData(ReadResource(":/about/about.bmp"), "BMP"), "Image1");
    Image2 = MakePicture(DecodeJpeg(ReadResource(":/about/about.jpg")), "Image2");
    Image2->hide();

    auto* title = new QLabel("Tazu16x32", page);
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    auto* subtitle = new QLabel(tr("Шифрование файлов и папок"), page);
    auto* version = new QLabel(tr("Версия 0.7"), page);
    auto* hint = new QLabel(tr("Щелкните по картинке, чтобы сменить ее."), page);
    auto* language = new QLabel(tr("Язык программы выбирается по переменным окружения LANGUAGE, "
                                   "LC_ALL, LC_MESSAGES и LANG: русский для русского языка и "
                                   "локали C, английский для остальных. Например: "
                                   "LANG=en_US.UTF-8 tazu16x32"),
                                page);
    language->setObjectName("LanguageNote");
    language->setWordWrap(true);
    StaticText10 = new QLabel(page);
    StaticText10->setObjectName("StaticText10");
    StaticText10->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    CheckBox6 = new QCheckBox(page);
    CheckBox6->setObjectName("CheckBox6");
    CheckBox6->hide();  // never visible, never focused
    CheckBox6->setFocusPolicy(Qt::NoFocus);
    CheckBox6->setAccessibleName(tr("Ключ загружен"));

    auto* grid = new QGridLayout(page);
    grid->addWidget(Image1, 0, 0, Qt::AlignTop);
    grid->addWidget(Image2, 0, 0, Qt::AlignTop);  // the same place
    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(subtitle);
    texts->addWidget(version);
    texts->addSpacing(16);
    texts->addWidget(StaticText10);
    texts->addStretch(1);
    grid->addLayout(texts, 0, 1);
    grid->addWidget(hint, 1, 0, 1, 2);
    grid->addWidget(language, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);

    connect(Image1, &ClickableImage::clicked, this, &TForm1::Image1Click);
    connect(Image2, &ClickableImage::clicked, this, &TForm1::Image2Click);
    connect(CheckBox6, &QCheckBox::toggled, this, &TForm1::CheckBox6Click);
    return page;
}

void TForm1::Image1Click() {
    Image1->hide();
    Image2->show();
}

void TForm1::Image2Click() {
    Image2->hide();
    Image1->show();
}

void TForm1::CheckBox6Click(bool checked) {
    if (!checked) {
        return;
    }
    // The post-load step, run once when the loader marks the store loaded.
    const Str255 text =
        KeyedSub(Str255::FromBytes(kAboutText.data(), kAboutText.size()), Str255(kAboutTextKey));
    // Shown through the catalogue like every text; the mark lets lupdate
    // find the deciphered text ("Ключ активен.").
    [[maybe_unused]] static const char* const kShown = QT_TR_NOOP("Ключ активен.");
    StaticText10->setText(tr(std::string(text.view()).c_str()));
    if (!StubExists()) {
        CheckBox3->setChecked(false);
        CheckBox3->setEnabled(false);
    }
}

}  // namespace tazu
