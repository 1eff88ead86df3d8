// The English catalogue, the command line's help (cli/command_spec,
// cli/help, cli/exit_status): the commands' summaries, their options and
// their values' placeholders.
#include "format/language.h"

namespace tazu {

namespace {

constexpr TextPair kPairs[] = {
    // Placeholders of operands and values.
    {"ИСТОЧНИК", "SOURCE"},
    {"АРХИВ", "ARCHIVE"},
    {"АРХИВ [ИМЯ...]", "ARCHIVE [NAME...]"},
    {"АРХИВ...", "ARCHIVE..."},
    {"СИСТЕМА", "SYSTEM"},
    {"ПУТЬ", "PATH"},
    {"ИМЯ", "NAME"},
    {"ПАПКА", "DEST"},
    {"ЧТО", "WHAT"},
    {"КАК", "HOW"},
    {"БАЙТ", "BYTE"},
    // Options several commands share.
    {"выводить только ошибки: без отчета о завершенной работе,\n"
     "без строки персонального кода и без хода работы",
     "print errors only: no report of a complete run, no personal-code\n"
     "line, no progress"},
    {"вывести на стандартный вывод один документ JSON вместо\n"
     "строк (см. страницу man)",
     "print one JSON document on standard output instead of lines\n"
     "(see the man page)"},
    {"где поврежденная или обрезанная запись прервала бы работу,\n"
     "перейти к следующей записи, которая открывается паролем,\n"
     "и продолжить; о каждом пропущенном участке сообщается\n"
     "(\"Пропущены байты\"), а такая работа завершается с кодом 1",
     "where a damaged or cut entry would end the run, pass over it\n"
     "to the next entry that opens with the password and go on;\n"
     "each stretch passed over is reported (\"Skipped bytes\"), and\n"
     "a run that recovered ends with status 1"},
    {"файл ключа (по умолчанию Tazu16x32.key рядом с программой)",
     "the key store (default: Tazu16x32.key beside the program)"},
    {"прочитать пароль из первой строки стандартного ввода",
     "read the password from the first line of standard input"},
    {"первая строка файла F, без конца строки", "the first line of file F, without its line end"},
    {"все байты файла F как есть (пароль из любых байтов)",
     "every byte of file F, as it is (a password of any bytes)"},
    {"пароль защиты файла ключа, как для", "the key store's protection password, as for"},
    {"--password-file и --password-file-raw", "--password-file and --password-file-raw"},
    // encrypt
    {"Шифрует файл или дерево папок (со скрытыми файлами) в один архив.\n"
     "  ИСТОЧНИК          файл, папка или - для стандартного ввода (один файл,\n"
     "                    сохраняется как --name ИМЯ, по умолчанию \"stdin\";\n"
     "                    нужен -o)\n",
     "Encrypts a file or a folder tree (hidden files included) into one archive.\n"
     "  SOURCE            a file, a folder, or - for standard input (one file, stored\n"
     "                    as --name NAME, default \"stdin\"; needs -o)\n"},
    {"архив (по умолчанию: у файла расширение меняется на .shf,\n"
     "к пути папки добавляется .shf; с --sfx .exe); - пишет его\n"
     "на стандартный вывод. Символическая ссылка записывается\n"
     "туда, куда указывает; устройство, FIFO и папка отвергаются.",
     "the archive (default: a file's extension replaced by .shf,\n"
     "a folder's path + .shf; .exe with --sfx); - writes it to\n"
     "standard output. A symbolic link is written where it points;\n"
     "a device, FIFO or folder is refused."},
    {"защитить записи еще и персональным кодом из файла ключа\n"
     "(только тогда файл ключа и нужен)",
     "also protect the entries with the key store's personal code\n"
     "(only then is the key store needed)"},
    {"поставить впереди модуль саморасшифровки Tazu16x32.SFX",
     "put the self-decrypting stub Tazu16x32.SFX in front"},
    {"система, где запускается саморасшифровывающийся файл:\n"
     "linux (модуль Tazu16x32.SFX) или windows (Tazu16x32.SFX.exe);\n"
     "по умолчанию та, где работает эта программа",
     "the system the self-decrypting file runs on: linux (the\n"
     "stub Tazu16x32.SFX) or windows (Tazu16x32.SFX.exe); default:\n"
     "the system this program runs on"},
    {"взять модуль саморасшифровки из ПУТЬ, а не из папки программы",
     "take the stub from PATH instead of the program's folder"},
    {"имя, под которым сохраняется стандартный ввод (encrypt -)",
     "the stored name of standard input (encrypt -)"},
    {"заменить существующий архив без вопроса", "replace an existing archive without asking"},
    {"когда архив готов, прочитать его заново и сверить каждую\n"
     "запись с тем, что сохранялось; только после этого удалить\n"
     "сохраненные файлы (но не пропущенные и не измененные во\n"
     "время чтения) и оставшиеся пустыми папки. При любом\n"
     "сомнении все источники остаются, а код возврата ненулевой.\n"
     "Удаление не надежное: содержимое файлов может остаться на\n"
     "диске.",
     "when the archive is complete, read it back and check every\n"
     "entry against what was stored; only then remove the files\n"
     "stored (never a skipped file or one changed while read) and\n"
     "the folders left empty. Any doubt keeps every source and\n"
     "gives a non-zero status. Removal is not secure deletion: the\n"
     "files' contents may remain on the disk."},
    // decrypt
    {"Расшифровывает архив (- читает его со стандартного ввода) в папку ПАПКА\n"
     "(по умолчанию в папку архива; создается, если ее нет).\n"
     "  ИМЯ...            расшифровать только эти записи; папка выбирает свое\n"
     "                    содержимое. Имя - как показывает list (экранированное)\n"
     "                    или в байтах, / и \\ равнозначны; * и ? - любая\n"
     "                    последовательность символов / любой один символ\n",
     "Extracts an archive (- reads it from standard input) into DEST (default: the\n"
     "archive's folder; made when missing).\n"
     "  NAME...           extract only these entries; a folder selects its contents.\n"
     "                    A name as list shows it (escaped), as raw bytes, with / or\n"
     "                    \\ alike; * and ? match any run of characters / any one\n"},
    {"папка, в которую расшифровать", "the folder to extract into"},
    {"записать единственный файл архива (или единственное ИМЯ)\n"
     "на стандартный вывод; сообщения идут в поток ошибок",
     "write the one file of a single-file archive (or the one\n"
     "NAME) to standard output; messages go to standard error"},
    {"что делать с существующими файлами: ask - спросить (на\n"
     "терминале это по умолчанию), replace - заменить, skip -\n"
     "пропустить (по умолчанию без терминала), cancel - отменить",
     "what to do with files that exist: ask (on a terminal, the\n"
     "default there), replace, skip (the default elsewhere), cancel"},
    {"имена файлов как сохранены (bytes, по умолчанию) или cp1251:\n"
     "имена не в UTF-8 читаются как Windows-1251 и пишутся в\n"
     "UTF-8 (архивы старых копий программы для Windows)",
     "file names as stored (bytes, the default), or cp1251: names\n"
     "that are not UTF-8 are read as Windows-1251 and written as\n"
     "UTF-8 (archives made by older Windows copies)"},
    {"Файл ключа читается, если он есть; записям с персональным кодом нужен тот\n"
     "файл ключа, с которым они сделаны.\n",
     "The key store is read when it exists; entries made with the personal code need\n"
     "the one that made them.\n"},
    // verify and list
    {"Читает архивы по очереди и сообщает то же, что сообщила бы расшифровка,\n"
     "ничего не записывая; отчет о каждом архиве завершает строка о нем. Код\n"
     "возврата - худший из кодов архивов.\n",
     "Reads each archive in turn and reports what an extraction would report,\n"
     "writing nothing; a line per archive ends its report. The status is the\n"
     "worst of the archives'.\n"},
    {"читать дальше поврежденных записей, как decrypt --recover",
     "read on past damaged entries, as decrypt --recover does"},
    {"Читает архивы по очереди, ничего не записывая, и выводит по строке на\n"
     "каждый файл: его размер в байтах, с персональным ли он кодом (да/нет), цел\n"
     "ли он (цел/поврежден) и его сохраненное имя. Код возврата - худший из\n"
     "кодов архивов.\n",
     "Reads each archive in turn, writing nothing, and prints one line per entry:\n"
     "its size in bytes, whether it uses the personal code (yes/no), whether it is\n"
     "intact (intact/damaged), and its stored name. The status is the worst of\n"
     "the archives'.\n"},
    // The key store's commands
    {"Создает файл ключа с новым персональным кодом и меткой ключа. Существующий\n"
     "файл заменяется только с --force (а с ним и персональный код его архивов).\n",
     "Makes a key store with a new personal code and key mark. An existing store is\n"
     "replaced only with --force (and with it the personal code of its archives).\n"},
    {"защитить его паролем (его задают параметры пароля)",
     "protect it with a password (the password options give it)"},
    {"байт настроек, от 0 до 255 или от 0x00 до 0xFF (по умолчанию 0x18)",
     "the settings byte, 0 to 255 or 0x00 to 0xFF (default 0x18)"},
    {"заменить существующий файл ключа", "replace an existing key store"},
    {"Показывает, загружается ли файл ключа, защищен ли он, его переключатели\n"
     "и метку ключа (но никогда не персональный код).\n",
     "Shows whether the key store loads, whether it is protected, its switches and\n"
     "its key mark (never the personal code).\n"},
    {"Задает новый пароль защиты файла ключа; пустой пароль снимает защиту.\n"
     "Новый пароль задают параметры пароля.\n",
     "Sets a new protection password for the key store; an empty one removes the\n"
     "protection. The password options give the new password.\n"},
    // password
    {"Оценивает, сколько пароль продержится против подбора по копии архива:\n"
     "сколько нужно попыток и сколько времени они займут на одном ядре этого\n"
     "компьютера (сначала измеряется его скорость подбора) и у атакующего со\n"
     "скоростью в 100 раз больше. encrypt и keystore-passwd предупреждают о\n"
     "слабом пароле в поток ошибок (если не задан --quiet).\n",
     "Says how long the password would hold against an offline guessing attack on\n"
     "an archive: the guesses it needs, and the time on one core of this computer\n"
     "(its guessing speed is measured first) and for an attacker with 100 times\n"
     "that speed. encrypt and keystore-passwd warn on standard error about a weak\n"
     "password (unless --quiet).\n"},
    {"вместо этого вывести парольную фразу из слов, выбранных\n"
     "случайно из большого списка слов EFF (7776 слов)",
     "print a passphrase of words drawn at random from the EFF\n"
     "large word list (7776 words) instead"},
    {"число слов в ней, от 1 до 24 (по умолчанию 6: больше\n"
     "1000 лет для такого атакующего)",
     "its number of words, 1 to 24 (default 6: over 1000 years\n"
     "for that attacker)"},
    // The frame of the help (cli/help).
    {"Использование: ", "Usage: "},
    {"Использование: tazu16x32-cli КОМАНДА [ПАРАМЕТРЫ]\n"
     "               tazu16x32-cli help КОМАНДА | КОМАНДА --help | --version\n"
     "\nКоманды:\n",
     "Usage: tazu16x32-cli COMMAND [OPTIONS]\n"
     "       tazu16x32-cli help COMMAND | COMMAND --help | --version\n"
     "\nCommands:\n"},
    {"\nПараметры:\n", "\nOptions:\n"},
    {"\nПараметры пароля:\n", "\nPassword options:\n"},
    {"\nПараметры файла ключа:\n", "\nKey store options:\n"},
    {"[параметры пароля]", "[password options]"},
    {"[параметры файла ключа]", "[key store options]"},
    {"[параметры пароля и файла ключа]", "[password and key store options]"},
    {"  Без них пароль спрашивается на терминале без отображения; стандартный\n"
     "  ввод для него без спроса не читается.\n",
     "  Without one of these the password is asked on the terminal without echo;\n"
     "  standard input is never read for it unasked.\n"},
    {"Подробнее: tazu16x32-cli {} --help\n", "See: tazu16x32-cli {} --help\n"},
    // The exit statuses (cli/exit_status).
    {"Коды возврата:\n", "Exit status:\n"},
    {"выполнено, все файлы целы", "complete, every file intact"},
    {"выполнено, но в отчете поврежденные, пропущенные или непрочитанные файлы",
     "complete, but the report lists damaged, skipped or unreadable files"},
    {"ошибка в командной строке или нет пригодного пароля", "usage error, or no usable password"},
    {"файла ключа нет, он поврежден или не открыт", "key store missing, damaged or not opened"},
    {"не удалось прочитать источник или архив", "the source or the archive cannot be read"},
    {"архив поврежден", "the archive is damaged"},
    {"сделан с персональным кодом другого файла ключа",
     "made with another key store's personal code"},
    {"ошибка записи", "write error"},
    {"прервано (Ctrl-C или ответ \"отменить\")", "interrupted (Ctrl-C or a cancel answer)"},
    {"неизвестная версия архива", "unknown archive version"},
    {"нет модуля саморасшифровки", "the self-decrypting stub is missing"},
    {"внутренняя ошибка: модуль шифрования отверг аргумент",
     "internal error: an argument the engine refused"},
    {"неизвестный код", "unknown status"},
};

}  // namespace

extern const std::span<const TextPair> kEnglishHelpCatalogue;
const std::span<const TextPair> kEnglishHelpCatalogue = kPairs;

}  // namespace tazu
