#include "encrypt/encrypt_messages.h"

#include "format/texts.h"
#include "io/native.h"

namespace tazu {

namespace {

// "-) Файл: " + path + tail, the form of every line about one file.
std::string FileLine(std::string_view path, std::string_view tail) {
    std::string line(Tr(kFileLinePrefix));
    line += path;
    line += Tr(tail);
    return line;
}

std::string_view ProblemText(StoredNameProblem problem) {
    switch (problem) {
        case StoredNameProblem::kNone:
            break;
        case StoredNameProblem::kEmpty:
            return Tr("имя пустое");
        case StoredNameProblem::kTooLong:
            return Tr("имя длиннее 255 байт");
        case StoredNameProblem::kNulByte:
            return Tr("в имени нулевой байт");
        case StoredNameProblem::kDrivePrefix:
            return Tr("имя начинается с буквы диска");
        case StoredNameProblem::kEmptyPart:
            return Tr("в имени пустая часть (два разделителя подряд или разделитель в конце)");
        case StoredNameProblem::kDotPart:
            return Tr("в имени часть \".\" или \"..\"");
        case StoredNameProblem::kNotHere:
            return Tr("такое имя нельзя создать в этой системе");
        case StoredNameProblem::kSeparator:
            return Tr("в имени знак \"\\\", разделитель папок в зашифрованном файле");
    }
    return "";
}

}  // namespace

std::string ReadErrorReportLine(std::string_view path) {
    return FileLine(path, TextKey("- пропущен, ошибка чтения."));
}

std::string InvalidNameReportLine(std::string_view path) {
    return InvalidNameReportLine(Tr(kFileLinePrefix), path);
}

std::string FolderLinkReportLine(std::string_view path) {
    return FileLine(path, TextKey("- пропущен, ссылка на папку."));
}

std::string ChangedReportLine(std::string_view path) {
    return FileLine(path, TextKey("- изменился во время чтения, сохранен как прочитан."));
}

std::string RefusedNameLine(std::string_view path, std::string_view name,
                            StoredNameProblem problem) {
    std::string line(Tr("Имя \""));
    line += name;
    line += '"';
    if (!path.empty()) {
        line += Tr(" (файл ");
        line += path;
        line += ')';
    }
    line += Tr(" нельзя сохранить в зашифрованном файле: ");
    line += ProblemText(problem);
    return line;
}

std::string_view EncryptOutcomeText(bool success, EncryptCode code) {
    if (success) {
        return code == EncryptCode::kOk ? Tr("Шифровывание успешно завершено") : "";
    }
    switch (code) {
        case EncryptCode::kBadArgument:
        case EncryptCode::kBadName:
            return Tr(kBadArgumentText);
        case EncryptCode::kWriteFailed:
            return Tr(kWriteErrorText);
        case EncryptCode::kCancelled:
            return Tr("Шифрование прервано по желанию пользователя");
        case EncryptCode::kSourceUnreadable:
            return Tr(kReadErrorText);
        case EncryptCode::kStubMissing:
            return Tr("Модуль саморасшифровки не найден");
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
