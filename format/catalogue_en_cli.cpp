// The English catalogue, the command line's own messages (cli/): its usage
// errors, the causes it adds to the engines' messages, and what its key
// store commands print.
#include "format/language.h"

namespace tazu {

namespace {

constexpr TextPair kPairs[] = {
    // The command line and its options (cli/main, cli/parse, cli/command_line).
    {"неизвестная команда {}", "unknown command {}"},
    {" (может быть, {}?)", " (did you mean {}?)"},
    {" (см. --help)", " (see --help)"},
    {"лишний аргумент {}", "unexpected argument {}"},
    {"{} принимает один {}", "{} takes one {}"},
    {"{} принимает {}", "{} takes {}"},
    {"неизвестный параметр {}", "unknown option {}"},
    {"после {} нужно значение", "{} needs a value"},
    {"после {} нужно значение, а не параметр {}", "{} needs a value, not the option {}"},
    {"{} указан больше одного раза", "{} is given more than once"},
    {"аргументы не разобраны ({})", "the arguments cannot be read ({})"},
    {"укажите только один из {}-stdin, {}-file и {}-file-raw",
     "give only one of {}-stdin, {}-file and {}-file-raw"},
    {" [д/Н] ", " [y/N] "},
    {"не удалось записать на стандартный вывод", "cannot write to standard output"},
    {"не удалось прочитать стандартный ввод", "cannot read standard input"},
    {"стандартный ввод", "standard input"},
    // encrypt (cli/cmd_encrypt).
    {"--for принимает linux или windows", "--for takes linux or windows"},
    {"--for выбирает модуль для --sfx", "--for picks the stub of --sfx"},
    {"стандартный ввод несет данные: укажите пароль через --password-file F или на терминале",
     "standard input carries the data: give the password with --password-file F or on the "
     "terminal"},
    {"для --remove-source нужны ИСТОЧНИК - файл или папка - и архив в файле",
     "--remove-source needs a file or folder SOURCE and an archive file"},
    {"--name - только для encrypt - (стандартного ввода)",
     "--name is for encrypt - (standard input)"},
    {"для encrypt - нужен -o АРХИВ (или -o - для стандартного вывода)",
     "encrypt - needs -o ARCHIVE (or -o - for standard output)"},
    {"стандартный вывод - терминал: архив туда не записывается",
     "standard output is a terminal: not writing an archive there"},
    {"имя архива - не имя файла: {}", "the archive name is not a file name: {}"},
    {"архив заменил бы собственный источник: {} (выберите другой -o)",
     "the archive would replace its own source: {} (choose another -o)"},
    {"нет модуля саморасшифровки {} (другой указывает --stub ПУТЬ)",
     "no stub at {} (--stub PATH names another)"},
    {"в отчете есть файлы, сохраненные не так, как прочитаны: источники остаются",
     "the report names files not stored as read: the sources are kept"},
    {"шифрование не удалось", "encryption failed"},
    {"{} уже существует; --force заменит его", "{} exists; --force replaces it"},
    // --remove-source (cli/remove_source).
    {"проверка сообщает: {}", "the check reports: {}"},
    {"в архиве есть {}, которого нет в источнике",
     "the archive holds {}, which is not in the source"},
    {"не удалось сравнить {} с архивом", "cannot compare {} with the archive"},
    {"{} отличается от того, что хранит архив", "{} differs from what the archive holds"},
    {"источники остаются", "the sources are kept"},
    {"не удалось прочитать заново {}", "cannot read back {}"},
    {"{} (при повторном чтении {})", "{} (reading back {})"},
    {"в архиве есть не все файлы {}", "the archive does not hold every file of {}"},
    {"{} достижим через ссылку", "{} is reached through a link"},
    {"не удалось удалить {}: {} (файлы до него удалены, остальные остаются)",
     "cannot remove {}: {} (the files before it are removed; the rest are kept)"},
    // decrypt, verify and list (cli/cmd_decrypt, cli/decrypt_hosts).
    {"стандартный ввод (-) читается только один раз", "standard input (-) can be read only once"},
    {"стандартный ввод несет архив: укажите пароль через --password-file F или на терминале",
     "standard input carries the archive: give the password with --password-file F or on the "
     "terminal"},
    {"укажите либо -d ПАПКА, либо --stdout", "give either -d DEST or --stdout"},
    {"--names принимает bytes или cp1251", "--names takes bytes or cp1251"},
    {"--on-exists принимает ask, replace, skip или cancel",
     "--on-exists takes ask, replace, skip or cancel"},
    {"не удалось расшифровать в {}: {} - не папка", "cannot extract into {}: {} is not a folder"},
    {"{} кончается слишком рано: одна из его записей обрезана",
     "{} ends too early: a record of it is cut short"},
    {"пароль не открывает {}", "the password does not open {}"},
    {"все записи {} прочитаны, но его конечная запись повреждена или отсутствует: записи после "
     "последней могли потеряться",
     "every entry of {} was read, but its end record is damaged or missing: entries after the "
     "last one may be lost"},
    {"в {}", "in {}"},
    {"в архиве больше одного файла для --stdout: укажите, какой записать (их показывает "
     "tazu16x32-cli list)",
     "the archive holds more than one file for --stdout: name the one to write (tazu16x32-cli "
     "list shows them)"},
    {"нет в архиве: {}", "not in the archive: {}"},
    {"цел", "intact"},
    {"поврежден", "damaged"},
    {"пропущен {} поврежденный участок в {}; что потеряно, говорят строки \"Пропущены байты\"",
     "recovered from {} damaged stretch of {}: the \"Skipped bytes\" lines say what was lost"},
    {"пропущено поврежденных участков: {} в {}; что потеряно, говорят строки \"Пропущены байты\"",
     "recovered from {} damaged stretches of {}: the \"Skipped bytes\" lines say what was lost"},
    // Where a file cannot be written or read (cli/output_path_*).
    {"программа не идет по символической ссылке {}: она принадлежит другому пользователю и "
     "лежит в общей папке",
     "refusing to follow the symbolic link {}: it belongs to another user and lies in a shared "
     "folder"},
    {"{}: слишком много уровней символических ссылок или ссылка не читается",
     "{}: too many levels of symbolic links, or a link that cannot be read"},
    {"{}: слишком много уровней символических ссылок", "{}: too many levels of symbolic links"},
    {"{} - не обычный файл: отказано (-o - пишет на стандартный вывод)",
     "{} is not a regular file: refused (-o - writes to standard output)"},
    {"не удалось прочитать ссылку {}: {}", "cannot read the link {}: {}"},
    {"не удалось записать {}: это папка", "cannot write {}: it is a folder"},
    {"не удалось записать {}: {}", "cannot write {}: {}"},
    {"не удалось записать {}: {} свободно в {}", "cannot write {}: {} free in {}"},
    {"не удалось записать {}", "cannot write {}"},
    {"не удалось прочитать {}: {}", "cannot read {}: {}"},
    {"не удалось прочитать {}: это папка", "cannot read {}: it is a folder"},
    {"не удалось прочитать {}: это не обычный файл", "cannot read {}: not a regular file"},
    {"не удалось прочитать {}", "cannot read {}"},
    // password (cli/cmd_password).
    {"--words принимает число от 1 до {}", "--words takes a number of 1 to {}"},
    {"--generate не принимает пароль", "--generate takes no password"},
    {"--words - только вместе с --generate", "--words goes with --generate"},
    // The key store's commands (cli/cmd_keystore, cli/keystore_access).
    {"не удалось сохранить файл ключа {}: {}", "cannot save the key store {}: {}"},
    {"не удалось создать папку {}: {}", "cannot make the folder {}: {}"},
    {"--settings принимает байт, от 0 до 255 или от 0x00 до 0xFF: {}",
     "--settings takes a byte, 0 to 255 or 0x00 to 0xFF: {}"},
    {"файл ключа {} уже существует (--force заменит его, а с ним и персональный код)",
     "a key store already exists at {} (--force replaces it, and with it the personal code)"},
    {"параметрам пароля нужен --protect", "the password options need --protect"},
    {"Новый пароль файла ключа: ", "New key store password: "},
    {"Новый пароль файла ключа (пустой снимает защиту): ",
     "New key store password (empty removes protection): "},
    {"Файл ключа создан: {}\n", "Key store made: {}\n"},
    {"Пароль защиты задан: {}\n", "Protection password set: {}\n"},
    {"Защита снята: {}\n", "Protection removed: {}\n"},
    {"шифровать с персональным кодом", "use personal code when encrypting"},
    {"встраивать модуль саморасшифровки", "embed the self-decryptor"},
    {"скрывать пароли при вводе", "hide passwords while typing"},
    {"сохранять настройки при выходе", "save settings on exit"},
    {"вторая картинка \"О программе\"", "second About picture"},
    {"Файл ключа: {}\n", "Key store: {}\n"},
    {"Загружается: да\n", "Loads: yes\n"},
    {"Защищен: {}\n", "Protected: {}\n"},
    {"Байт настроек: {}\n", "Settings byte: {}\n"},
    {"да", "yes"},
    {"нет", "no"},
    {"вкл", "on"},
    {"выкл", "off"},
    {"  биты 7, 1, 0 (сохраняются как есть): {} {} {}\n",
     "  bits 7, 1, 0 (kept as they are): {} {} {}\n"},
    {"Метка ключа: {}\n", "Key mark: {}\n"},
    {"Персональный код: {} байт\n", "Personal code: {} bytes\n"},
    {"\nсоздайте его так: {} (или укажите другой через --keystore ПУТЬ)",
     "\nmake one with: {} (or name another with --keystore PATH)"},
    {"файл ключа {} защищен, а терминала, чтобы спросить его пароль, нет: укажите пароль через "
     "--keystore-password-file F",
     "the key store {} is protected and there is no terminal to ask for its password: give it "
     "with --keystore-password-file F"},
    {"пароль файла ключа: {}", "the key store password: {}"},
    {"файл ключа не прочитан (по пути {} его нет): записи с персональным кодом нужен файл "
     "ключа, с которым она сделана; укажите его через --keystore ПУТЬ",
     "no key store was read (none at {}): an entry made with the personal code needs the key "
     "store that made it; give it with --keystore PATH"},
    {"файл ключа {} защищен и не открыт: укажите его пароль через --keystore-password-file F "
     "или другой файл ключа через --keystore ПУТЬ",
     "the key store {} is protected and was not opened: give its password with "
     "--keystore-password-file F, or another store with --keystore PATH"},
    {"файл ключа {} не прочитан (см. выше): укажите тот, с которым сделан этот архив, через "
     "--keystore ПУТЬ",
     "the key store {} could not be read (see above): give the one that made this archive with "
     "--keystore PATH"},
    {"архив сделан не с файлом ключа {}: укажите тот, с которым он сделан, через --keystore "
     "ПУТЬ",
     "the key store {} is not the one that made this archive: give that one with --keystore "
     "PATH"},
    // Why the key store cannot be read or saved (keystore/keystore_texts; the
    // command line and the windows show them, never the stub).
    {"доступ запрещен: этот пользователь не может записывать файл ключа или его папку {}",
     "permission denied: this user may not write the store or its folder {}"},
    {"доступ запрещен: этот пользователь не может читать файл ключа",
     "permission denied: this user may not read the store"},
    {"папка {} на файловой системе только для чтения",
     "the folder {} is on a read-only file system"},
    {"папки {} нет", "the folder {} does not exist"},
    {"там нет файла ключа", "no key store there"},
    {"часть пути {} - не папка", "a part of the path {} is not a folder"},
    {"путь ведет к папке, а не к файлу ключа", "the path is a folder, not a key store file"},
    {"файл ключа - символическая ссылка, по которой программа не идет (ссылка другого "
     "пользователя в общей папке или ссылки без конца): он не заменен",
     "the store is a symbolic link that is not followed (another user's link in a shared "
     "folder, or links that do not end): not replaced"},
    {"путь ведет не к обычному файлу", "the path is not a regular file"},
    {"запись на диск не удалась", "writing to the disk failed"},
    {"файл ключа не удалось создать", "the store could not be created"},
    {"пароль защиты его не открывает", "the protection password does not open it"},
    {"это не файл ключа, или он поврежден в начале",
     "the file is not a key store, or is damaged at its start"},
    {"файл ключа поврежден: запись не сходится с подписью в обеих копиях",
     "the store is damaged: a record fails its signature in both copies"},
    {"файл не удалось открыть", "the file cannot be opened"},
    {"на диске нет места", "no space left on the disk"},
};

}  // namespace

extern const std::span<const TextPair> kEnglishCommandLineCatalogue;
const std::span<const TextPair> kEnglishCommandLineCatalogue = kPairs;

}  // namespace tazu
