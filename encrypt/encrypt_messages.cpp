#include "encrypt/encrypt_messages.h"

#include "format/texts.h"
#include "io/native.h"

namespace tazu {

namespace {

// "-) Файл: " + path + tail, the form of every line about one file.
std::string FileLine(std::string_view path, std::string_view tail) {
    std::string line(kFileLinePrefix);
    line += path;
    line += tail;
    return line;
}

std::string_view ProblemText(StoredNameProblem problem) {
    switch (problem) {
        case StoredNameProblem::kNone:
            break;
        case StoredNameProblem::kEmpty:
            return "имя пустое";
        case StoredNameProblem::kTooLong:
            return "имя длиннее 255 байт";
        case StoredNameProblem::kNulByte:
            return "в имени нулевой байт";
        case StoredNameProblem::kDrivePrefix:
            return "имя начинается с буквы диска";
        case StoredNameProblem::kEmptyPart:
            return "в имени пустая часть (два разделителя подряд или разделитель в конце)";
        case StoredNameProblem::kDotPart:
            return "в имени часть \".\" или \"..\"";
        case StoredNameProblem::kNotHere:
            return "такое имя нельзя создать в этой системе";
        case StoredNameProblem::kSeparator:
            return "в имени знак \"\\\", разделитель папок в зашифрованном файле";
    }
    return "";
}

}  // namespace

std::string ReadErrorReportLine(std::string_view path) {
    return FileLine(path, "- пропущен, ошибка чтения.");
}

std::string InvalidNameReportLine(std::string_view path) {
    return InvalidNameReportLine(kFileLinePrefix, path);
}

std::string FolderLinkReportLine(std::string_view path) {
    return FileLine(path, "- пропущен, ссылка на папку.");
}

std::string ChangedReportLine(std::string_view path) {
    return FileLine(path, "- изменился во время чтения, сохранен как прочитан.");
}

std::string RefusedNameLine(std::string_view path, std::string_view name,
                            StoredNameProblem problem) {
    std::string line = "Имя \"";
    line += name;
    line += '"';
    if (!path.empty()) {
        line += " (файл ";
        line += path;
        line += ')';
    }
    line += " нельзя сохранить в зашифрованном файле: ";
    line += ProblemText(problem);
    return line;
}

std::string_view EncryptOutcomeText(bool success, EncryptCode code) {
    if (success) {
        return code == EncryptCode::kOk ? "Шифровывание успешно завершено" : "";
    }
    switch (code) {
        case EncryptCode::kBadArgument:
        case EncryptCode::kBadName:
            return kBadArgumentText;
        case EncryptCode::kWriteFailed:
            return kWriteErrorText;
        case EncryptCode::kCancelled:
            return "Шифрование прервано по желанию пользователя";
        case EncryptCode::kSourceUnreadable:
            return kReadErrorText;
        case EncryptCode::kStubMissing:
            return "Модуль саморасшифровки не найден";
        default:
            return "";
    }
}

std::string EncryptOutcomeMessage(bool success, EncryptCode code,
                                  const std::filesystem::path& source) {
    std::string message(EncryptOutcomeText(success, code));
    if (!success && code == EncryptCode::kBadName) {
        const std::string name = StoredNameFromPath(source.filename());
        StoredNameProblem problem = StoredNameProblem::kNone;
        SingleFileStoredName(name, true, problem);
        message += '\n';
        message += RefusedNameLine(PathString(source), name, problem);
    }
    return message;
}

}  // namespace tazu
