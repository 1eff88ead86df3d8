#include "cli/exit_status.h"

#include "format/language.h"

namespace tazu::cli {

namespace {

constexpr std::string_view kStatusTexts[] = {
    TextKey("выполнено, все файлы целы"),
    TextKey("выполнено, но в отчете поврежденные, пропущенные или непрочитанные файлы"),
    TextKey("ошибка в командной строке или нет пригодного пароля"),
    TextKey("файла ключа нет, он поврежден или не открыт"),
    TextKey("не удалось прочитать источник или архив"),
    TextKey("архив поврежден"),
    TextKey("сделан с персональным кодом другого файла ключа"),
    TextKey("ошибка записи"),
    TextKey("пароль введен неверно"),
    TextKey("прервано (Ctrl-C или ответ \"отменить\")"),
    TextKey("неизвестная версия архива"),
    TextKey("нет модуля саморасшифровки"),
    TextKey("внутренняя ошибка: модуль шифрования отверг аргумент"),
};

}  // namespace

std::string ExitStatusHelp() {
    std::string text(Tr("Коды возврата:\n"));
    for (int status = 0; status <= kExitInternal; ++status) {
        text += (status < 10 ? "   " : "  ") + std::to_string(status) + "  " +
                std::string(Tr(kStatusTexts[status])) + "\n";
    }
    return text;
}

std::string ExitStatusText(int status) {
    return std::string(status >= 0 && status <= kExitInternal ? Tr(kStatusTexts[status])
                                                              : Tr("неизвестный код"));
}

std::string RecoveredLine(const std::string& archive, std::uint32_t recovered) {
    const std::string count = std::to_string(recovered);
    return recovered == 1
               ? TrFill(
                     "пропущен {} поврежденный участок в {}; что потеряно, говорят строки "
                     "\"Пропущены байты\"",
                     {count, archive})
               : TrFill(
                     "пропущено поврежденных участков: {} в {}; что потеряно, говорят строки "
                     "\"Пропущены байты\"",
                     {count, archive});
}

int EncryptExitStatus(bool success, EncryptCode code, int problems) {
    if (success) {
        return problems > 0 ? kExitIncomplete : kExitOk;
    }
    switch (code) {
        case EncryptCode::kWriteFailed:
            return kExitWriteFailed;
        case EncryptCode::kCancelled:
            return kExitInterrupted;
        case EncryptCode::kSourceUnreadable:
            return kExitReadFailed;
        case EncryptCode::kStubMissing:
            return kExitStubMissing;
        case EncryptCode::kBadName:
            return kExitUsage;
        case EncryptCode::kOk:
        case EncryptCode::kBadArgument:
            break;
    }
    return kExitInternal;
}

}  // namespace tazu::cli
