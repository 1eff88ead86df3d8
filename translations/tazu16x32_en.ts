<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>tazu::ChoiceWindow</name>
    <message>
        <source>Выбор действия</source>
        <translation>Choose an action</translation>
    </message>
    <message>
        <source>Файл уже существует:</source>
        <translation>File already exists:</translation>
    </message>
    <message>
        <source>Выберите действие:</source>
        <translation>Choose an action:</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>tazu::FirstStart</name>
    <message>
        <source>Создан новый файл ключа:
%1

Сохраните его копию в надежном месте. Файлы, зашифрованные с персональным кодом, открываются только с этим ключом.</source>
        <translation>A new key store was created:
%1

Keep a copy of it in a safe place. Files encrypted with the personal code open only with this key store.</translation>
    </message>
    <message>
        <source>Не удалось создать файл ключа:
%1
(%2)</source>
        <translation>The key store could not be created:
%1
(%2)</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>tazu::FolderBrowser</name>
    <message>
        <source>Диск</source>
        <translation>Drive</translation>
    </message>
    <message>
        <source>Папки</source>
        <translation>Folders</translation>
    </message>
    <message>
        <source>Файлы</source>
        <translation>Files</translation>
    </message>
</context>
<context>
    <name>tazu::PasswordStrengthLine</name>
    <message>
        <source>Надёжность пароля</source>
        <translation>Password strength</translation>
    </message>
</context>
<context>
    <name>tazu::PickerWindow</name>
    <message>
        <source>Папка:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>Файл:</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>tazu::ProgressWindow</name>
    <message>
        <source>Ход шифрования:</source>
        <translation>Encryption progress:</translation>
    </message>
    <message>
        <source>Обработано байт:</source>
        <translation>Bytes processed:</translation>
    </message>
    <message>
        <source>Персональный код:</source>
        <translation>Personal code:</translation>
    </message>
</context>
<context>
    <name>tazu::RunDialog</name>
    <message>
        <source>Обзор</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>Ввод пароля для защиты файла:</source>
        <translation>Password to protect the file:</translation>
    </message>
    <message>
        <source>Введите пароль:</source>
        <translation>Enter the password:</translation>
    </message>
    <message>
        <source>Скрыть пароль при вводе</source>
        <translation>Hide the password while typing</translation>
    </message>
    <message>
        <source>Назад</source>
        <translation>Back</translation>
    </message>
</context>
<context>
    <name>tazu::TForm1</name>
    <message>
        <source>Разделы программы</source>
        <translation>Program sections</translation>
    </message>
    <message>
        <source>Главное меню</source>
        <translation>Main menu</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Выход из программы</source>
        <translation>Exit the program</translation>
    </message>
    <message>
        <source>Шифрование файлов и папок</source>
        <translation>Encryption of files and folders</translation>
    </message>
    <message>
        <source>Версия 0.7</source>
        <translation>Version 0.7</translation>
    </message>
    <message>
        <source>Щелкните по картинке, чтобы сменить ее.</source>
        <translation>Click the picture to change it.</translation>
    </message>
    <message>
        <source>Ключ загружен</source>
        <translation>Key store loaded</translation>
    </message>
    <message>
        <source>Имя зашифровываемого/расшифровываемого объекта:</source>
        <translation>Object to encrypt or decrypt:</translation>
    </message>
    <message>
        <source>Зашифровать объект</source>
        <translation>Encrypt the object</translation>
    </message>
    <message>
        <source>Расшифровать файл</source>
        <translation>Decrypt the file</translation>
    </message>
    <message>
        <source>Общая информация о программе</source>
        <translation>About the program</translation>
    </message>
    <message>
        <source>Общие характеристики программы</source>
        <translation>General features</translation>
    </message>
    <message>
        <source>Пароль шифрования в окнах программы — это текст длиной от 1 до 255 байт в кодировке UTF-8: латинская буква или цифра занимает один байт, русская буква — два. Поле ввода не принимает символ, с которым пароль стал бы длиннее. Сам формат файлов допускает в пароле любой байт от 0 до 255; такой пароль можно задать в tazu16x32-cli.

Каждый зашифрованный файл снабжен подписями: своя подпись у каждого блока данных и общая подпись всего файла. При расшифровке поврежденные блоки подсчитываются, а файл заносится в отчет как поврежденный.

Файлы обрабатываются небольшими порциями, поэтому программа расходует небольшой постоянный объем памяти, сколько бы файлов ни было в папке и какого бы размера они ни были.

Программа расшифровывает файлы всех своих прежних версий формата.</source>
        <translation>In the program&apos;s windows, the password is a text of 1 to 255 bytes in UTF-8: a Latin letter or a digit takes one byte, a Russian letter two. The password field refuses a character that would make the password longer. The archive format itself allows any byte from 0 to 255 in a password; such a password can be given to tazu16x32-cli.

Every archive carries signatures: one for each block of data and one for the whole archive. When decrypting, damaged blocks are counted and the file is listed in the report as damaged.

Files are processed in small portions, so the program uses a small, constant amount of memory however many files a folder holds and however large they are.

The program decrypts archives of all its earlier format versions.</translation>
    </message>
    <message>
        <source>Дополнительные возможности</source>
        <translation>Additional features</translation>
    </message>
    <message>
        <source>Описание параметров настройки</source>
        <translation>The settings</translation>
    </message>
    <message>
        <source>Лицензионное соглашение</source>
        <translation>License agreement</translation>
    </message>
    <message>
        <source>Предупреждение</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Выберите раздел справки:</source>
        <translation>Choose a help topic:</translation>
    </message>
    <message>
        <source>Проверка пройдена: файл программы не изменен</source>
        <translation>Check passed: the program file is unchanged</translation>
    </message>
    <message>
        <source>Внимание: файл программы изменен или поврежден!</source>
        <translation>Warning: the program file was changed or is damaged!</translation>
    </message>
    <message>
        <source>Подпись программы не найдена, проверка невозможна</source>
        <translation>The program&apos;s signature was not found, the check is impossible</translation>
    </message>
    <message>
        <source>Ошибка чтения файла программы</source>
        <translation>Error reading the program file</translation>
    </message>
    <message>
        <source>Защитить паролем персональный код программы.</source>
        <translation>Protect the personal code with a password.</translation>
    </message>
    <message>
        <source>Использовать персональный код для защиты файлов.</source>
        <translation>Use the personal code to protect files.</translation>
    </message>
    <message>
        <source>Встроить саморасшифровщик.</source>
        <translation>Make self-decrypting files.</translation>
    </message>
    <message>
        <source>Скрыть пароль при вводе.</source>
        <translation>Hide the password while typing.</translation>
    </message>
    <message>
        <source>Сохранять настройки при выходе.</source>
        <translation>Save the settings on exit.</translation>
    </message>
    <message>
        <source>Сохранить ключ сейчас</source>
        <translation>Save the key store now</translation>
    </message>
    <message>
        <source>Выполнить проверку собственного кода</source>
        <translation>Run the self-check</translation>
    </message>
    <message>
        <source>Параметры защиты ключа:</source>
        <translation>Key store protection:</translation>
    </message>
    <message>
        <source>Параметры шифрования файлов:</source>
        <translation>File encryption:</translation>
    </message>
    <message>
        <source>Параметры программы:</source>
        <translation>Program:</translation>
    </message>
    <message>
        <source>Статус:</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>Проверка кода программы</source>
        <translation>Checking the program</translation>
    </message>
    <message>
        <source>Язык программы выбирается по переменным окружения LANGUAGE, LC_ALL, LC_MESSAGES и LANG: русский для русского языка и локали C, английский для остальных. Например: LANG=en_US.UTF-8 tazu16x32</source>
        <translation>The program&apos;s language follows the environment variables LANGUAGE, LC_ALL, LC_MESSAGES and LANG: Russian for the Russian language and the C locale, English for any other. For example: LANG=ru_RU.UTF-8 tazu16x32</translation>
    </message>
    <message>
        <source>Ключ активен.</source>
        <translation>Key store active.</translation>
    </message>
    <message>
        <source>Tazu16x32 шифрует один файл или целую папку со всеми вложенными папками в один зашифрованный файл и расшифровывает такие файлы обратно.

Выберите на вкладке «Главное меню» диск, папку или файл. Выбранный объект показывается в поле «Имя зашифровываемого/расшифровываемого объекта». Кнопка «Зашифровать объект» зашифровывает выбранную папку или файл, кнопка «Расшифровать файл» доступна, когда выбран файл, и расшифровывает его в указанную папку.

Файл ключа {store} хранит персональный код программы и настройки. Без этого файла программа не работает. Программа ищет его сначала рядом с собой, затем в папке пользователя ~/.config/tazu16x32/, где создает его при первом запуске.</source>
        <translation>Tazu16x32 encrypts one file or a whole folder with all its subfolders into one archive, and decrypts such archives back.

On the &quot;Main menu&quot; tab, choose a drive, a folder or a file. The chosen object is shown in the field &quot;Object to encrypt or decrypt&quot;. The button &quot;Encrypt the object&quot; encrypts the chosen folder or file; the button &quot;Decrypt the file&quot; is available when a file is chosen and decrypts it into the folder you give.

The key store {store} holds the program&apos;s personal code and settings. The program does not work without it. The program looks for it beside itself first, then in the user&apos;s folder ~/.config/tazu16x32/, where it creates one at the first start.</translation>
    </message>
    <message>
        <source>Персональный код. Файл ключа хранит персональный код, уникальный для каждой копии программы. Файлы, зашифрованные с персональным кодом, открываются только паролем вместе с тем же файлом ключа.

Саморасшифровщик. Зашифрованный файл можно сделать самостоятельной программой (расширение .exe), которая расшифровывает себя сама. Для этого нужен файл саморасшифровщика {stub}. Саморасшифровщик понимает два параметра командной строки: /filr: и имя файла, который нужно расшифровать, и /parh: и папку, в которую нужно расшифровать.

Проверка собственного кода. Кнопка на вкладке «Настройки» проверяет по подписи, не изменен ли файл самой программы.</source>
        <translation>Personal code. The key store holds a personal code unique to each copy of the program. Files encrypted with the personal code open only with the password together with the same key store.

Self-decrypting file. An archive can be made a program of its own (extension .exe) that decrypts itself. This needs the self-decrypting module {stub}. A self-decrypting file understands two command-line options: /filr: with the name of the file to decrypt, and /parh: with the folder to decrypt into.

Self-check. A button on the &quot;Settings&quot; tab checks by its signature whether the program&apos;s own file was changed.</translation>
    </message>
    <message>
        <source>«Защитить паролем персональный код программы.» — файл ключа шифруется вашим паролем, и при каждом запуске программа спрашивает его. Изменение сохраняется сразу.

«Использовать персональный код для защиты файлов.» — новые файлы шифруются с персональным кодом.

«Встроить саморасшифровщик.» — новые файлы становятся саморасшифровывающимися. Этот параметр нельзя включить вместе с персональным кодом, и он недоступен, если нет файла саморасшифровщика {stub}.

«Скрыть пароль при вводе.» — пароли вводятся звездочками и с подтверждением.

«Сохранять настройки при выходе.» — измененные настройки записываются в файл ключа при выходе кнопкой «Выход из программы». Кнопка «Сохранить ключ сейчас» записывает их немедленно.</source>
        <translation>&quot;Protect the personal code with a password.&quot; The key store is encrypted with your password, and the program asks for it at every start. The change is saved at once.

&quot;Use the personal code to protect files.&quot; New archives are encrypted with the personal code.

&quot;Make self-decrypting files.&quot; New archives become self-decrypting files. This setting cannot be on together with the personal code, and it is unavailable without the self-decrypting module {stub}.

&quot;Hide the password while typing.&quot; Passwords are shown as asterisks and must be confirmed.

&quot;Save the settings on exit.&quot; Changed settings are written to the key store when you leave with the button &quot;Exit the program&quot;. The button &quot;Save the key store now&quot; writes them at once.</translation>
    </message>
    <message>
        <source>Copyright (C) 2026 The Tazu16x32 developers

Лицензия на программу пока не выбрана; до ее выбора все права сохраняются за правообладателями. Программа предоставляется «как есть», без каких-либо гарантий.</source>
        <translation>Copyright (C) 2026 The Tazu16x32 developers

No licence has been chosen for the program yet; until one is, all rights are reserved by the copyright holders. The program is provided &quot;as is&quot;, without any warranty.</translation>
    </message>
    <message>
        <source>Забытый пароль восстановить нельзя: без него зашифрованные данные потеряны.

Храните копию файла ключа {store} в надежном месте. Файлы, зашифрованные с персональным кодом, без этого файла ключа не расшифровать.

Подбор пароля к файлу ключа пресекается: после нескольких неудачных попыток программа может завершиться или заблокировать ввод.</source>
        <translation>A forgotten password cannot be recovered: without it the encrypted data is lost.

Keep a copy of the key store {store} in a safe place. Files encrypted with the personal code cannot be decrypted without this key store.

Guessing the key store password is stopped: after several failed attempts the program may exit or block input.</translation>
    </message>
    <message>
        <source>Недоступно: саморасшифровщик Tazu16x32.SFX не найден ни рядом с программой (%1), ни в папке %2.</source>
        <translation>Unavailable: the self-decrypting module Tazu16x32.SFX was found neither beside the program (%1) nor in the folder %2.</translation>
    </message>
    <message>
        <source>Недоступно вместе с персональным кодом: снимите флажок «Использовать персональный код для защиты файлов.»</source>
        <translation>Unavailable together with the personal code: clear &quot;Use the personal code to protect files.&quot;</translation>
    </message>
</context>
<context>
    <name>tazu::TForm10</name>
    <message>
        <source>Заменить файл</source>
        <translation>Replace the file</translation>
    </message>
    <message>
        <source>Отменить шифрование</source>
        <translation>Cancel the encryption</translation>
    </message>
</context>
<context>
    <name>tazu::TForm11</name>
    <message>
        <source>Заменить файл</source>
        <translation>Replace the file</translation>
    </message>
    <message>
        <source>Пропустить файл (не заменять)</source>
        <translation>Skip the file (do not replace)</translation>
    </message>
    <message>
        <source>Отменить расшифровывание</source>
        <translation>Cancel the decryption</translation>
    </message>
    <message>
        <source>Применять этет ответ во всех подобнах случаях</source>
        <translation>Apply this answer to all such cases</translation>
    </message>
</context>
<context>
    <name>tazu::TForm12</name>
    <message>
        <source>Ввод пароля</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Введите новый пароль:</source>
        <translation>Enter the new password:</translation>
    </message>
    <message>
        <source>Введите подтверждение пароля:</source>
        <translation>Confirm the password:</translation>
    </message>
    <message>
        <source>Скрыть пароль при вводе</source>
        <translation>Hide the password while typing</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Введенные пароли не совпадают</source>
        <translation>The passwords do not match</translation>
    </message>
</context>
<context>
    <name>tazu::TForm13</name>
    <message>
        <source>Уведомление</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>Отчет</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>tazu::TForm15</name>
    <message>
        <source>Статус</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Статус:</source>
        <translation>Status:</translation>
    </message>
</context>
<context>
    <name>tazu::TForm2</name>
    <message>
        <source>Чтение регистрационного ключа</source>
        <translation>Reading the key store</translation>
    </message>
    <message>
        <source>Введите пароль:</source>
        <translation>Enter the password:</translation>
    </message>
    <message>
        <source>Статус:</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>Продолжить</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>tazu::TForm3</name>
    <message>
        <source>Шифрование</source>
        <translation>Encryption</translation>
    </message>
    <message>
        <source>Имя объектов шифрования:</source>
        <translation>Objects to encrypt:</translation>
    </message>
    <message>
        <source>Имя нового файла:</source>
        <translation>Name of the new archive:</translation>
    </message>
    <message>
        <source>Введите подтверждение пароля:</source>
        <translation>Confirm the password:</translation>
    </message>
    <message>
        <source>Имя нового файла задано неверно</source>
        <translation>The name of the new archive is not valid</translation>
    </message>
    <message>
        <source>Подтверждение пароля не совпадает с паролем</source>
        <translation>The confirmation does not match the password</translation>
    </message>
    <message>
        <source>Вы забыли указать пароль</source>
        <translation>You forgot to enter the password</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Шифрование</source>
        <comment>the start button</comment>
        <translation>Encrypt</translation>
    </message>
    <message>
        <source>Имя файла не указано.</source>
        <translation>No file name given.</translation>
    </message>
    <message>
        <source>Имя оканчивается знаком «/»: это имя папки, а не файла.</source>
        <translation>The name ends with &quot;/&quot;: that is a folder&apos;s name, not a file&apos;s.</translation>
    </message>
    <message>
        <source>Под этим именем уже есть папка.</source>
        <translation>A folder of this name already exists.</translation>
    </message>
    <message>
        <source>Это сам шифруемый файл: его нельзя заменить архивом.</source>
        <translation>This is the file being encrypted: the archive cannot replace it.</translation>
    </message>
    <message>
        <source>Придумать пароль</source>
        <translation>Generate password</translation>
    </message>
    <message>
        <source>Запишите новый пароль:</source>
        <translation>Write down the new password:</translation>
    </message>
</context>
<context>
    <name>tazu::TForm4</name>
    <message>
        <source>Ход шифрования</source>
        <translation>Encryption progress</translation>
    </message>
    <message>
        <source>Файлов зашифровано:</source>
        <translation>Files encrypted:</translation>
    </message>
    <message>
        <source>Прервать шифрование</source>
        <translation>Stop the encryption</translation>
    </message>
</context>
<context>
    <name>tazu::TForm5</name>
    <message>
        <source>Уведомление</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>tazu::TForm6</name>
    <message>
        <source>Сохранить как</source>
        <translation>Save as</translation>
    </message>
</context>
<context>
    <name>tazu::TForm7</name>
    <message>
        <source>Расшифровывание</source>
        <translation>Decryption</translation>
    </message>
    <message>
        <source>Имя объектов:</source>
        <translation>Objects:</translation>
    </message>
    <message>
        <source>Путь для расшифровки:</source>
        <translation>Decrypt into:</translation>
    </message>
    <message>
        <source>Расшифровать</source>
        <translation>Decrypt</translation>
    </message>
    <message>
        <source>Не указана папка для расшифровки</source>
        <translation>No folder to decrypt into was given</translation>
    </message>
    <message>
        <source>Пароль введен неверно</source>
        <translation>Wrong password</translation>
    </message>
</context>
<context>
    <name>tazu::TForm8</name>
    <message>
        <source>Сохранить в</source>
        <translation>Save in</translation>
    </message>
</context>
<context>
    <name>tazu::TForm9</name>
    <message>
        <source>Расшифровывание</source>
        <translation>Decryption</translation>
    </message>
    <message>
        <source>Файлов расшифровано:</source>
        <translation>Files decrypted:</translation>
    </message>
    <message>
        <source>Прервать расшифровывание</source>
        <translation>Stop the decryption</translation>
    </message>
</context>
</TS>
