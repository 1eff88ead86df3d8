#include "cli/command_spec.h"

#include <algorithm>

#include "format/language.h"

namespace tazu::cli {
namespace {

const OptionSpec kQuiet{"-q,--quiet", "",
                        TextKey("выводить только ошибки: без отчета о завершенной работе,\n"
                                "без строки персонального кода и без хода работы")};
const OptionSpec kJson{"--json", "",
                       TextKey("вывести на стандартный вывод один документ JSON вместо\n"
                               "строк (см. страницу man)")};
const OptionSpec kRecover{"--recover", "",
                          TextKey("где поврежденная или обрезанная запись прервала бы работу,\n"
                                  "перейти к следующей записи, которая открывается паролем,\n"
                                  "и продолжить; о каждом пропущенном участке сообщается\n"
                                  "(\"Пропущены байты\"), а такая работа завершается с кодом 1")};
const OptionSpec kKeyStore{"--keystore", TextKey("ПУТЬ"),
                           TextKey("файл ключа (по умолчанию Tazu16x32.key рядом с программой)")};

CommandSpec Encrypt() {
    return {"encrypt",
            TextKey("ИСТОЧНИК"),
            1,
            1,
            TextKey("Шифрует файл или дерево папок (со скрытыми файлами) в один архив.\n"
                    "  ИСТОЧНИК          файл, папка или - для стандартного ввода (один файл,\n"
                    "                    сохраняется как --name ИМЯ, по умолчанию \"stdin\";\n"
                    "                    нужен -o)\n"),
            {{"-o", TextKey("АРХИВ"),
              TextKey("архив (по умолчанию: у файла расширение меняется на .shf,\n"
                      "к пути папки добавляется .shf; с --sfx .exe); - пишет его\n"
                      "на стандартный вывод. Символическая ссылка записывается\n"
                      "туда, куда указывает; устройство, FIFO и папка отвергаются.")},
             {"--personal-code", "",
              TextKey("защитить записи еще и персональным кодом из файла ключа\n"
                      "(только тогда файл ключа и нужен)")},
             {"--sfx", "", TextKey("поставить впереди модуль саморасшифровки Tazu16x32.SFX")},
             {"--for", TextKey("СИСТЕМА"),
              TextKey("система, где запускается саморасшифровывающийся файл:\n"
                      "linux (модуль Tazu16x32.SFX) или windows (Tazu16x32.SFX.exe);\n"
                      "по умолчанию та, где работает эта программа")},
             {"--stub", TextKey("ПУТЬ"),
              TextKey("взять модуль саморасшифровки из ПУТЬ, а не из папки программы")},
             {"--name", TextKey("ИМЯ"),
              TextKey("имя, под которым сохраняется стандартный ввод (encrypt -)")},
             {"-f,--force", "", TextKey("заменить существующий архив без вопроса")},
             {"--remove-source", "",
              TextKey("когда архив готов, прочитать его заново и сверить каждую\n"
                      "запись с тем, что сохранялось; только после этого удалить\n"
                      "сохраненные файлы (но не пропущенные и не измененные во\n"
                      "время чтения) и оставшиеся пустыми папки. При любом\n"
                      "сомнении все источники остаются, а код возврата ненулевой.\n"
                      "Удаление не надежное: содержимое файлов может остаться на\n"
                      "диске.")},
             kQuiet},
            true,
            true,
            ""};
}

CommandSpec Decrypt() {
    return {"decrypt",
            TextKey("АРХИВ [ИМЯ...]"),
            1,
            kAnyNumber,
            TextKey("Расшифровывает архив (- читает его со стандартного ввода) в папку ПАПКА\n"
                    "(по умолчанию в папку архива; создается, если ее нет).\n"
                    "  ИМЯ...            расшифровать только эти записи; папка выбирает свое\n"
                    "                    содержимое. Имя - как показывает list (экранированное)\n"
                    "                    или в байтах, / и \\ равнозначны; * и ? - любая\n"
                    "                    последовательность символов / любой один символ\n"),
            {{"-d", TextKey("ПАПКА"), TextKey("папка, в которую расшифровать")},
             {"--stdout", "",
              TextKey("записать единственный файл архива (или единственное ИМЯ)\n"
                      "на стандартный вывод; сообщения идут в поток ошибок")},
             {"--on-exists", TextKey("ЧТО"),
              TextKey("что делать с существующими файлами: ask - спросить (на\n"
                      "терминале это по умолчанию), replace - заменить, skip -\n"
                      "пропустить (по умолчанию без терминала), cancel - отменить")},
             {"--names", TextKey("КАК"),
              TextKey("имена файлов как сохранены (bytes, по умолчанию) или cp1251:\n"
                      "имена не в UTF-8 читаются как Windows-1251 и пишутся в\n"
                      "UTF-8 (архивы старых копий программы для Windows)")},
             kRecover,
             kQuiet},
            true,
            true,
            TextKey("Файл ключа читается, если он есть; записям с персональным кодом нужен тот\n"
                    "файл ключа, с которым они сделаны.\n")};
}

// verify and list.
std::vector<CommandSpec> Readers() {
    return {
        {"verify",
         TextKey("АРХИВ..."),
         1,
         kAnyNumber,
         TextKey("Читает архивы по очереди и сообщает то же, что сообщила бы расшифровка,\n"
                 "ничего не записывая; отчет о каждом архиве завершает строка о нем. Код\n"
                 "возврата - худший из кодов архивов.\n"),
         {{"--recover", "", TextKey("читать дальше поврежденных записей, как decrypt --recover")},
          kQuiet,
          kJson},
         true,
         true,
         ""},
        {"list",
         TextKey("АРХИВ..."),
         1,
         kAnyNumber,
         TextKey("Читает архивы по очереди, ничего не записывая, и выводит по строке на\n"
                 "каждый файл: его размер в байтах, с персональным ли он кодом (да/нет), цел\n"
                 "ли он (цел/поврежден) и его сохраненное имя. Код возврата - худший из\n"
                 "кодов архивов.\n"),
         {kQuiet, kJson},
         true,
         true,
         ""}};
}

// keystore-new, keystore-info and keystore-passwd.
std::vector<CommandSpec> KeyStoreCommands() {
    return {
        {"keystore-new",
         "",
         0,
         0,
         TextKey("Создает файл ключа с новым персональным кодом и меткой ключа. Существующий\n"
                 "файл заменяется только с --force (а с ним и персональный код его архивов).\n"),
         {{"--protect", "", TextKey("защитить его паролем (его задают параметры пароля)")},
          {"--settings", TextKey("БАЙТ"),
           TextKey("байт настроек, от 0 до 255 или от 0x00 до 0xFF (по умолчанию 0x18)")},
          {"-f,--force", "", TextKey("заменить существующий файл ключа")},
          kKeyStore},
         true,
         false,
         ""},
        {"keystore-info",
         "",
         0,
         0,
         TextKey("Показывает, загружается ли файл ключа, защищен ли он, его переключатели\n"
                 "и метку ключа (но никогда не персональный код).\n"),
         {},
         false,
         true,
         ""},
        {"keystore-passwd",
         "",
         0,
         0,
         TextKey("Задает новый пароль защиты файла ключа; пустой пароль снимает защиту.\n"
                 "Новый пароль задают параметры пароля.\n"),
         {kQuiet},
         true,
         true,
         ""}};
}

CommandSpec Password() {
    return {"password",
            "",
            0,
            0,
            TextKey("Оценивает, сколько пароль продержится против подбора по копии архива:\n"
                    "сколько нужно попыток и сколько времени они займут на одном ядре этого\n"
                    "компьютера (сначала измеряется его скорость подбора) и у атакующего со\n"
                    "скоростью в 100 раз больше. encrypt и keystore-passwd предупреждают о\n"
                    "слабом пароле в поток ошибок (если не задан --quiet).\n"),
            {{"--generate", "",
              TextKey("вместо этого вывести парольную фразу из слов, выбранных\n"
                      "случайно из большого списка слов EFF (7776 слов)")},
             {"--words", "N",
              TextKey("число слов в ней, от 1 до 24 (по умолчанию 6: больше\n"
                      "1000 лет для такого атакующего)")}},
            true,
            false,
            ""};
}

std::vector<CommandSpec> MakeCommands() {
    std::vector<CommandSpec> c{Encrypt(), Decrypt()};
    for (std::vector<CommandSpec> group : {Readers(), KeyStoreCommands()}) {
        c.insert(c.end(), group.begin(), group.end());
    }
    c.push_back(Password());
    return c;
}

}  // namespace

const std::vector<CommandSpec>& Commands() {
    static const std::vector<CommandSpec> commands = MakeCommands();
    return commands;
}

const CommandSpec* FindCommand(const std::string& name) {
    for (const CommandSpec& c : Commands()) {
        if (name == c.name) {
            return &c;
        }
    }
    return nullptr;
}

const std::vector<OptionSpec>& PasswordOptions() {
    static const std::vector<OptionSpec> options = {
        {"--password-stdin", "", TextKey("прочитать пароль из первой строки стандартного ввода")},
        {"--password-file", "F", TextKey("первая строка файла F, без конца строки")},
        {"--password-file-raw", "F",
         TextKey("все байты файла F как есть (пароль из любых байтов)")},
    };
    return options;
}

const std::vector<OptionSpec>& KeyStoreOptions() {
    static const std::vector<OptionSpec> options = {
        kKeyStore,
        {"--keystore-password-file", "F", TextKey("пароль защиты файла ключа, как для")},
        {"--keystore-password-file-raw", "F", TextKey("--password-file и --password-file-raw")},
    };
    return options;
}

std::vector<OptionSpec> AllOptions(const CommandSpec& command) {
    std::vector<OptionSpec> all = command.options;
    if (command.password_options) {
        all.insert(all.end(), PasswordOptions().begin(), PasswordOptions().end());
    }
    if (command.keystore_options) {
        all.insert(all.end(), KeyStoreOptions().begin(), KeyStoreOptions().end());
    }
    return all;
}

std::vector<std::string> OptionNames(const OptionSpec& option) {
    std::vector<std::string> names;
    std::string all = option.names;
    for (std::size_t at = 0; at <= all.size();) {
        const std::size_t comma = std::min(all.find(',', at), all.size());
        names.push_back(all.substr(at, comma - at));
        at = comma + 1;
    }
    return names;
}

}  // namespace tazu::cli
