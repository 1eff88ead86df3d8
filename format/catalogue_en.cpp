// The English catalogue: every source text the engines, the terminal and
// the self-decrypting stub show, with its English; the command line's own
// texts are in catalogue_en_cli.cpp and catalogue_en_help.cpp. The window
// texts are in translations/ (Qt's catalogues).
#include "format/language.h"

namespace tazu {

namespace {

constexpr TextPair kPairs[] = {
    // Report lines and messages both sides write (format/texts.h).
    {"-) Файл: ", "-) File: "},
    {" - пропущен, недопустимое имя", " - skipped, invalid name"},
    {"Внутренняя ошибка целостности параметров", "Internal error: inconsistent parameters"},
    {"Ошибка чтения из файла", "Error reading from the file"},
    {"Ошибка записи на диск, возможно он переполнен", "Error writing to the disk, it may be full"},
    // Encryption (encrypt/encrypt_messages).
    {"- пропущен, ошибка чтения.", " - skipped, read error."},
    {"Шифровывание успешно завершено", "Encryption completed successfully"},
    {"Шифрование прервано по желанию пользователя", "Encryption cancelled by the user"},
    {"Модуль саморасшифровки не найден", "Self-decrypting module not found"},
    {"Статус:", "Status:"},
    {"Чтение/Запись", "Reading/Writing"},
    // Decryption (decrypt/decrypt_messages, decrypt/recovery).
    {"-) Пропущены байты {}-{}: не читаются как запись",
     "-) Skipped bytes {}-{}: not readable as an entry"},
    {" (поврежденная запись {})", " (damaged entry {})"},
    {"Файл: ", "File: "},
    {"Да", "Yes"},
    {"Нет", "No"},
    {"Да / Нет", "Yes / No"},
    {" - пропущен, уже существует", " - skipped, already exists"},
    {" - пропущен, нет доступа", " - skipped, access denied"},
    {" - поврежден", " - damaged"},
    {"- пропущен, ссылка на папку.", " - skipped, a link to a folder."},
    {"- изменился во время чтения, сохранен как прочитан.",
     " - changed while it was read, stored as read."},
    {"Имя \"", "The name \""},
    {" (файл ", " (file "},
    {" нельзя сохранить в зашифрованном файле: ", " cannot be stored in an archive: "},
    {"имя пустое", "the name is empty"},
    {"имя длиннее 255 байт", "the name is longer than 255 bytes"},
    {"в имени нулевой байт", "the name holds a NUL byte"},
    {"имя начинается с буквы диска", "the name begins with a drive letter"},
    {"в имени пустая часть (два разделителя подряд или разделитель в конце)",
     "the name has an empty part (two separators in a row, or one at the end)"},
    {"в имени часть \".\" или \"..\"", "the name has a part \".\" or \"..\""},
    {"такое имя нельзя создать в этой системе", "such a name cannot be made on this system"},
    {"в имени знак \"\\\", разделитель папок в зашифрованном файле",
     "the name holds \"\\\", the archive's folder separator"},
    {"Пароль не прочитан: ", "No password could be read: "},
    {"Файл зашифрован с персональным кодом: положите ключ ",
     "The archive was made with the personal code: put the key store "},
    {" рядом с файлом и запустите снова.", " beside it and run it again."},
    {" - пропущен, ", " - skipped, "},
    {" - поврежден (блоков: ", " - damaged (blocks: "},
    {" ).", ")."},
    {"Файл не совместим с данной версией программы",
     "The file is not compatible with this version of the program"},
    {"Расшифровка успешно завершена", "Decryption completed successfully"},
    {"Файл поврежден", "The file is damaged"},
    {"Файл не совместим с данной копией программы",
     "The file is not compatible with this copy of the program"},
    {"Пароль введен неверно", "Wrong password"},
    {"Расшифровка прервана по желанию пользователя", "Decryption cancelled by the user"},
    // The terminal questions of the command line and the stub.
    {"Файл уже существует: ", "File already exists: "},
    {"[r] заменить, [s] пропустить, [c] отменить расшифровывание; R или S - для всех файлов: ",
     "[r]eplace, [s]kip, [c]ancel, [R]eplace all, [S]kip all? "},
    {". Заменить файл?", ". Replace it?"},
    {"Персональный код: ", "Personal code: "},
    // Reading a password (terminal/password), for the command line and the stub.
    {"нет пароля: нет терминала, чтобы его спросить; укажите --password-stdin, "
     "--password-file F или --password-file-raw F",
     "no password: there is no terminal to ask on; give --password-stdin, --password-file F or "
     "--password-file-raw F"},
    {"пароль длиннее 255 байт", "the password is longer than 255 bytes"},
    {"пароль не введен", "no password was typed"},
    {"пароль на стандартном вводе длиннее 255 байт",
     "the password on standard input is longer than 255 bytes"},
    {"на стандартном вводе нет пароля", "no password on standard input"},
    {"не удалось прочитать файл пароля {}: {}", "cannot read the password file {}: {}"},
    {"в первой строке файла пароля {} больше 255 байт",
     "the password file {} holds more than a password of 255 bytes on its first line"},
    {"в файле пароля {} больше 255 байт",
     "the password file {} holds more than a password of 255 bytes"},
    {"Повторите: ", "Repeat: "},
    {"пароли не совпадают", "the passwords do not match"},
    // The progress line (terminal/terminal).
    {"Б", "B"},
    {"КиБ", "KiB"},
    {"МиБ", "MiB"},
    {"ГиБ", "GiB"},
    {"ТиБ", "TiB"},
    {", {}/с", ", {}/s"},
    {", осталось {}:{}{}", ", {}:{}{} left"},
    {", файлов: {}", ", files: {}"},
    // The system's error numbers (format/error_text), in the C library's words.
    {"нет такого файла или папки", "No such file or directory"},
    {"доступ запрещен", "Permission denied"},
    {"операция не разрешена", "Operation not permitted"},
    {"это папка", "Is a directory"},
    {"часть пути - не папка", "Not a directory"},
    {"на диске не осталось места", "No space left on device"},
    {"файловая система только для чтения", "Read-only file system"},
    {"слишком много уровней символических ссылок", "Too many levels of symbolic links"},
    {"слишком длинное имя файла", "File name too long"},
    {"файл уже существует", "File exists"},
    {"ошибка ввода-вывода", "Input/output error"},
    {"устройство или ресурс занято", "Device or resource busy"},
    {"папка не пуста", "Directory not empty"},
    {"слишком много открытых файлов", "Too many open files"},
    {"нет такого устройства или адреса", "No such device or address"},
    {"системная ошибка {}", "system error {}"},
    // The self-decrypting stub (stub/main).
    {"Tazu16x32.SFX - расшифровка самораспаковывающегося файла.\n"
     "  /filr:ФАЙЛ    расшифровать указанный зашифрованный файл вместо себя\n"
     "  /parh:ПАПКА   папка, в которую расшифровать файлы\n"
     "Пароль вводится с терминала (без отображения) или читается одной строкой\n"
     "со стандартного ввода. Ключ Tazu16x32.key, лежащий рядом с файлом,\n"
     "нужен для файлов, зашифрованных с персональным кодом.\n",
     "Tazu16x32.SFX - decrypts a self-decrypting file.\n"
     "  /filr:FILE    decrypt the given archive instead of itself\n"
     "  /parh:FOLDER  the folder to decrypt the files into\n"
     "The password is typed on the terminal (not shown) or read as one line\n"
     "from standard input. The key store Tazu16x32.key beside the file is\n"
     "needed for files encrypted with a personal code.\n"},
    {"Папка для расшифровки", "Folder to decrypt into"},
    {"Пароль ключа: ", "Key store password: "},
    {"Зашифрованные данные не найдены", "No encrypted data found"},
    {"Пароль: ", "Password: "},
    // The window program's --help names its dialogs (ui/command_line).
    {"Шифрование", "Encryption"},
    {"Расшифровывание", "Decryption"},
    // The key store window's status (ui/key_store_loader).
    {"ввод пароля", "enter the password"},
    {"подбор пароля невозможен", "password guessing is blocked"},
    // The key store (keystore/keystore_texts).
    {"пароль введен неверно", "wrong password"},
    {"ошибка открытия ключа", "the key store cannot be opened"},
    {"неверная версия файла ключа", "wrong key store version"},
    {"ключ поврежден", "the key store is damaged"},
    {"Ключ успешно сохранен", "Key store saved"},
    {"Ошибка записи ключа, возможно он поврежден",
     "Error writing the key store, it may be damaged"},
    {"Ошибка сохранения ключа на диск", "Error saving the key store to the disk"},
    {"файл ключа не найден", "key store file not found"},
    // Password strength (password/password_texts).
    {"очень слабый", "very weak"},
    {"слабый", "weak"},
    {"средний", "medium"},
    {"надёжный", "strong"},
    {"{}: подбор {}", "{}: guessing takes {}"},
    {"за {} {}", "{} {}"},
    {"меньше чем за секунду", "less than a second"},
    {"дольше 1000 лет", "more than 1000 years"},
    {"на одном ядре этого компьютера ({} паролей в секунду): подбор {}",
     "on one core of this computer ({} passwords a second): guessing takes {}"},
    {"у атакующего со 100 ядрами ({} паролей в секунду): подбор {}",
     "for an attacker with 100 cores ({} passwords a second): guessing takes {}"},
    {"нужно перебрать около {} паролей", "about {} passwords to try"},
    {"пароль {}", "the password is {}"},
    {"пароль пуст", "the password is empty"},
    {"это частое слово или пароль", "this is a common word or password"},
    {"замена букв цифрами и знаками не помогает",
     "replacing letters with digits and symbols does not help"},
    {"повторы легко угадать", "repeats are easy to guess"},
    {"ряды вроде abc и 123 легко угадать", "sequences like abc and 123 are easy to guess"},
    {"ряды клавиш вроде qwerty легко угадать", "key rows like qwerty are easy to guess"},
    {"даты и годы легко угадать", "dates and years are easy to guess"},
    {"слишком короткий", "too short"},
    {"добавьте слова или возьмите придуманную фразу", "add words or use a generated passphrase"},
    // Units of time: English has one form for 1 and one for any other count.
    {"секунду", "second"},
    {"секунды", "seconds"},
    {"секунд", "seconds"},
    {"минуту", "minute"},
    {"минуты", "minutes"},
    {"минут", "minutes"},
    {"час", "hour"},
    {"часа", "hours"},
    {"часов", "hours"},
    {"день", "day"},
    {"дня", "days"},
    {"дней", "days"},
    {"год", "year"},
    {"года", "years"},
    {"лет", "years"},
};

}  // namespace

extern const std::span<const TextPair> kEnglishCatalogue;
const std::span<const TextPair> kEnglishCatalogue = kPairs;

}  // namespace tazu
