// The system's error numbers in the chosen language. strerror() speaks the
// C library's language (English without setlocale(), which the programs do
// not call), so the common ones are the program's own texts; their English
// is the C library's wording.
#include <cerrno>
#include <cstring>

#include "format/texts.h"

namespace tazu {

namespace {

struct ErrorText {
    int number;
    std::string_view text;
};

constexpr ErrorText kErrorTexts[] = {
    {ENOENT, TextKey("нет такого файла или папки")},
    {EACCES, TextKey("доступ запрещен")},
    {EPERM, TextKey("операция не разрешена")},
    {EISDIR, TextKey("это папка")},
    {ENOTDIR, TextKey("часть пути - не папка")},
    {ENOSPC, TextKey("на диске не осталось места")},
    {EROFS, TextKey("файловая система только для чтения")},
    {ELOOP, TextKey("слишком много уровней символических ссылок")},
    {ENAMETOOLONG, TextKey("слишком длинное имя файла")},
    {EEXIST, TextKey("файл уже существует")},
    {EIO, TextKey("ошибка ввода-вывода")},
    {EBUSY, TextKey("устройство или ресурс занято")},
    {ENOTEMPTY, TextKey("папка не пуста")},
    {EMFILE, TextKey("слишком много открытых файлов")},
    {ENXIO, TextKey("нет такого устройства или адреса")},
};

}  // namespace

std::string SystemErrorText(int error_number) {
    for (const ErrorText& e : kErrorTexts) {
        if (e.number == error_number) {
            return std::string(Tr(e.text));
        }
    }
    // A rarer one: its number in the source language, the C library's
    // English words in any other.
    if (CurrentLanguage() == Languages().front()) {
        return TrFill("системная ошибка {}", {std::to_string(error_number)});
    }
    return std::strerror(error_number);
}

}  // namespace tazu
