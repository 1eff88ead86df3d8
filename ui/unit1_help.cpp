// The help page of TForm1: a pick list of topics and one text per topic,
// all in the same place, only the chosen one visible.
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

#include "ui/unit1.h"
#include "ui/widgets.h"

namespace tazu {
namespace {

struct HelpTopic {
    const char* title;
    const char* text;
};

constexpr HelpTopic kHelpTopics[6] = {
    {QT_TRANSLATE_NOOP("tazu::TForm1", "Общая информация о программе"),
     QT_TRANSLATE_NOOP(
         "tazu::TForm1",
         "Tazu16x32 шифрует один файл или целую папку со всеми вложенными папками в один "
         "зашифрованный файл и расшифровывает такие файлы обратно.\n\n"
         "Выберите на вкладке «Главное меню» диск, папку или файл. Выбранный объект "
         "показывается в поле «Имя зашифровываемого/расшифровываемого объекта». Кнопка "
         "«Зашифровать объект» зашифровывает выбранную папку или файл, кнопка «Расшифровать "
         "файл» доступна, когда выбран файл, и расшифровывает его в указанную папку.\n\n"
         "Файл ключа {store} хранит персональный код программы и настройки. Без этого файла "
         "программа не работает. Программа ищет его сначала рядом с собой, затем в папке "
         "пользователя ~/.config/tazu16x32/, где создает его при первом запуске.")},
    {QT_TRANSLATE_NOOP("tazu::TForm1", "Общие характеристики программы"),
     QT_TRANSLATE_NOOP(
         "tazu::TForm1",
         "Пароль шифрования в окнах программы — это текст длиной от 1 до 255 байт в кодировке "
         "UTF-8: латинская буква или цифра занимает один байт, русская буква — два. Поле ввода "
         "не принимает символ, с которым пароль стал бы длиннее. Сам формат файлов допускает "
         "в пароле любой байт от 0 до 255; такой пароль можно задать в tazu16x32-cli.\n\n"
         "Каждый зашифрованный файл снабжен подписями: своя подпись у каждого блока данных и "
         "общая подпись всего файла. При расшифровке поврежденные блоки подсчитываются, а "
         "файл заносится в отчет как поврежденный.\n\n"
         "Файлы обрабатываются небольшими порциями, поэтому программа расходует небольшой "
         "постоянный объем памяти, сколько бы файлов ни было в папке и какого бы размера они "
         "ни были.\n\n"
         "Программа расшифровывает файлы всех своих прежних версий формата.")},
    {QT_TRANSLATE_NOOP("tazu::TForm1", "Дополнительные возможности"),
     QT_TRANSLATE_NOOP(
         "tazu::TForm1",
         "Персональный код. Файл ключа хранит персональный код, уникальный для каждой копии "
         "программы. Файлы, зашифрованные с персональным кодом, открываются только паролем "
         "вместе с тем же файлом ключа.\n\n"
         "Саморасшифровщик. Зашифрованный файл можно сделать самостоятельной программой "
         "(расширение .exe), которая расшифровывает себя сама. Для этого нужен файл "
         "саморасшифровщика {stub}. Саморасшифровщик понимает два параметра "
         "командной строки: /filr: и имя файла, который нужно расшифровать, и /parh: и папку, "
         "в которую нужно расшифровать.\n\n"
         "Проверка собственного кода. Кнопка на вкладке «Настройки» проверяет по подписи, не "
         "изменен ли файл самой программы.")},
    {QT_TRANSLATE_NOOP("tazu::TForm1", "Описание параметров настройки"),
     QT_TRANSLATE_NOOP(
         "tazu::TForm1",
         "«Защитить паролем персональный код программы.» — файл ключа шифруется вашим "
         "паролем, и при каждом запуске программа спрашивает его. Изменение сохраняется "
         "сразу.\n\n"
         "«Использовать персональный код для защиты файлов.» — новые файлы шифруются с "
         "персональным кодом.\n\n"
         "«Встроить саморасшифровщик.» — новые файлы становятся саморасшифровывающимися. Этот "
         "параметр нельзя включить вместе с персональным кодом, и он недоступен, если нет "
         "файла саморасшифровщика {stub}.\n\n"
         "«Скрыть пароль при вводе.» — пароли вводятся звездочками и с подтверждением.\n\n"
         "«Сохранять настройки при выходе.» — измененные настройки записываются в файл ключа "
         "при выходе кнопкой «Выход из программы». Кнопка «Сохранить ключ сейчас» записывает "
         "их немедленно.")},
    {QT_TRANSLATE_NOOP("tazu::TForm1", "Лицензионное соглашение"),
     QT_TRANSLATE_NOOP(
         "tazu::TForm1",
         "Copyright (C) 2026 The Tazu16x32 developers\n\n"
         "Лицензия на программу пока не выбрана; до ее выбора все права сохраняются за "
         "правообладателями. Программа предоставляется «как есть», без каких-либо "
         "гарантий.")},
    {QT_TRANSLATE_NOOP("tazu::TForm1", "Предупреждение"),
     QT_TRANSLATE_NOOP(
         "tazu::TForm1",
         "Забытый пароль восстановить нельзя: без него зашифрованные данные потеряны.\n\n"
         "Храните копию файла ключа {store} в надежном месте. Файлы, зашифрованные с "
         "персональным кодом, без этого файла ключа не расшифровать.\n\n"
         "Подбор пароля к файлу ключа пресекается: после нескольких неудачных попыток "
         "программа может завершиться или заблокировать ввод.")},
};

}  // namespace

QWidget* TForm1::BuildHelpPage() {
    auto* page = new QWidget;
    auto* label = new QLabel(tr("Выберите раздел справки:"), page);
    ComboBox1 = new QComboBox(page);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(false);
    NameByLabel(label, ComboBox1);
    auto* grid = new QGridLayout(page);
    grid->addWidget(label, 0, 0);
    grid->addWidget(ComboBox1, 1, 0);
    for (int i = 0; i < 6; ++i) {
        ComboBox1->addItem(tr(kHelpTopics[i].title));
        // The key store and the stub are named where this copy finds them.
        const QString text = tr(kHelpTopics[i].text)
                                 .replace("{store}", PathText(session_.key_store_path))
                                 .replace("{stub}", PathText(StubPlace()));
        auto* memo = new QPlainTextEdit(text, page);
        memo->setObjectName(QStringLiteral("Memo%1").arg(i + 1));
        memo->setReadOnly(true);
        memo->setAccessibleName(tr(kHelpTopics[i].title));
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setVisible(i == 0);
        grid->addWidget(memo, 2, 0);  // all six in the same place
        Memo[static_cast<std::size_t>(i)] = memo;
    }
    grid->setRowStretch(2, 1);
    connect(ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Select);
    return page;
}

void TForm1::ComboBox1Select(int index) {
    for (QPlainTextEdit* memo : Memo) {
        memo->hide();
    }
    if (index >= 0 && index < static_cast<int>(Memo.size())) {
        Memo[static_cast<std::size_t>(index)]->show();
    }
}

}  // namespace tazu
