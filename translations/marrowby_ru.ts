<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>cBatchCommand</name>
    <message>
        <source>cannot make the output folder %1</source>
        <translation>не удалось создать выходную папку %1</translation>
    </message>
    <message>
        <source>the output file is not older than its source (--update)</source>
        <translation>выходной файл не старше исходного (--update)</translation>
    </message>
    <message>
        <source>the output file exists (--overwrite replaces it, --update replaces it when older than its source)</source>
        <translation>выходной файл уже существует (--overwrite заменяет его, --update заменяет его, если он старше исходного)</translation>
    </message>
</context>
<context>
    <name>cBatchProgress</name>
    <message numerus="yes">
        <source>Converting: %1 of %2 done, %n failed, %3 elapsed</source>
        <translation>
            <numerusform>Конвертация: готово %1 из %2, %n ошибка, прошло %3</numerusform>
            <numerusform>Конвертация: готово %1 из %2, %n ошибки, прошло %3</numerusform>
            <numerusform>Конвертация: готово %1 из %2, %n ошибок, прошло %3</numerusform>
        </translation>
    </message>
    <message>
        <source>, about %1 left</source>
        <translation>, осталось около %1</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s): </source>
        <translation>
            <numerusform>%n файл: </numerusform>
            <numerusform>%n файла: </numerusform>
            <numerusform>%n файлов: </numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 converted, %n failed, in %2</source>
        <translation>
            <numerusform>сконвертировано %1, %n ошибка, за %2</numerusform>
            <numerusform>сконвертировано %1, %n ошибки, за %2</numerusform>
            <numerusform>сконвертировано %1, %n ошибок, за %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Stopped: %1 of %2 done, %n failed, in %3</source>
        <translation>
            <numerusform>Остановлено: готово %1 из %2, %n ошибка, за %3</numerusform>
            <numerusform>Остановлено: готово %1 из %2, %n ошибки, за %3</numerusform>
            <numerusform>Остановлено: готово %1 из %2, %n ошибок, за %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n skipped</source>
        <translation>
            <numerusform>, %n пропущен</numerusform>
            <numerusform>, %n пропущено</numerusform>
            <numerusform>, %n пропущено</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n with a warning</source>
        <translation>
            <numerusform>, %n с предупреждением</numerusform>
            <numerusform>, %n с предупреждениями</numerusform>
            <numerusform>, %n с предупреждениями</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Converting: %1 of %2 done, %n failed%3, %4 elapsed</source>
        <translation>
            <numerusform>Конвертация: готово %1 из %2, %n ошибка%3, прошло %4</numerusform>
            <numerusform>Конвертация: готово %1 из %2, %n ошибки%3, прошло %4</numerusform>
            <numerusform>Конвертация: готово %1 из %2, %n ошибок%3, прошло %4</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 converted, %n failed%2, in %3</source>
        <translation>
            <numerusform>сконвертировано %1, %n ошибка%2, за %3</numerusform>
            <numerusform>сконвертировано %1, %n ошибки%2, за %3</numerusform>
            <numerusform>сконвертировано %1, %n ошибок%2, за %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Stopped: %1 of %2 done, %n failed%3, in %4</source>
        <translation>
            <numerusform>Остановлено: готово %1 из %2, %n ошибка%3, за %4</numerusform>
            <numerusform>Остановлено: готово %1 из %2, %n ошибки%3, за %4</numerusform>
            <numerusform>Остановлено: готово %1 из %2, %n ошибок%3, за %4</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>cCommandLine</name>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <translation>Неизвестный параметр «%1».</translation>
    </message>
    <message>
        <source>%1: %2 Try &quot;%1 --help&quot;.</source>
        <translation>%1: %2 Справка: «%1 --help».</translation>
    </message>
    <message>
        <source>Convert without a window.</source>
        <translation>Конвертировать без окна.</translation>
    </message>
    <message>
        <source>Write the WAV files into &lt;dir&gt;, made if missing (default: the current folder).</source>
        <translation>Записывать файлы WAV в &lt;папка&gt;, при необходимости создав её (по умолчанию: текущая папка).</translation>
    </message>
    <message>
        <source>dir</source>
        <translation>папка</translation>
    </message>
    <message>
        <source>Append .wav to the file names (hello.mp3 becomes hello.mp3.wav) instead of setting the extension to .wav.</source>
        <translation>Добавлять .wav к именам файлов (hello.mp3 станет hello.mp3.wav) вместо замены расширения на .wav.</translation>
    </message>
    <message>
        <source>Run up to &lt;n&gt; conversions at once (default: one per processor).</source>
        <translation>Выполнять до &lt;n&gt; конвертаций одновременно (по умолчанию: по одной на процессор).</translation>
    </message>
    <message>
        <source>n</source>
        <translation>n</translation>
    </message>
    <message>
        <source>Print only the files that failed and then the summary; nothing when every file was converted.</source>
        <translation>Выводить только файлы с ошибками, а затем итог; ничего, если сконвертированы все файлы.</translation>
    </message>
    <message>
        <source>Missing value after &apos;%1&apos;: &apos;%2&apos; is an option.</source>
        <translation>Не указано значение после «%1»: «%2» — это параметр.</translation>
    </message>
    <message>
        <source>Option &apos;%1&apos; works only with --convert.</source>
        <translation>Параметр «%1» действует только вместе с --convert.</translation>
    </message>
    <message>
        <source>FILE|FOLDER</source>
        <translation>ФАЙЛ|ПАПКА</translation>
    </message>
    <message>
        <source>Sound files, and folders whose sound files are converted, sub-folders included.</source>
        <translation>Звуковые файлы, а также папки: в них конвертируются все звуковые файлы, включая вложенные папки.</translation>
    </message>
    <message>
        <source>FILE|FOLDER...</source>
        <translation>ФАЙЛ|ПАПКА...</translation>
    </message>
    <message>
        <source>Invalid value for --jobs: &apos;%1&apos; (a whole number from 1 on).</source>
        <translation>Недопустимое значение --jobs: «%1» (нужно целое число не меньше 1).</translation>
    </message>
    <message>
        <source>Invalid value for --jobs: &apos;%1&apos; (at most %2 conversions at once).</source>
        <translation>Недопустимое значение --jobs: «%1» (не больше %2 конвертаций одновременно).</translation>
    </message>
    <message>
        <source>No file or folder given.</source>
        <translation>Не указаны файлы или папки.</translation>
    </message>
    <message>
        <source>Overwrite existing WAV files (default: skip them; a skipped file is no failure).</source>
        <translation>Перезаписывать существующие файлы WAV (по умолчанию: пропускать их; пропущенный файл не считается ошибкой).</translation>
    </message>
    <message>
        <source>Convert a file only when its WAV file is missing or older than it; skip it otherwise.</source>
        <translation>Конвертировать файл, только если его файла WAV нет или он старше исходного; иначе пропускать.</translation>
    </message>
    <message>
        <source>Write each file found in a named folder under its path relative to that folder (out/main-menu/greeting.wav), making folders as needed.</source>
        <translation>Записывать каждый файл из указанной папки по его пути относительно этой папки (out/main-menu/greeting.wav), создавая папки при необходимости.</translation>
    </message>
    <message>
        <source>Write lower-case ASCII names: other scripts transliterated, blanks and punctuation turned into dashes (Welcome Greeting (final).mp3 becomes welcome-greeting-final.wav).</source>
        <translation>Записывать имена строчными буквами ASCII: другие алфавиты транслитерируются, пробелы и знаки препинания заменяются дефисами (Welcome Greeting (final).mp3 станет welcome-greeting-final.wav).</translation>
    </message>
    <message>
        <source>id</source>
        <translation>id</translation>
    </message>
    <message>
        <source>Copy no tags of the source and no mark of the encoder into the files (the formats but the default never carry them).</source>
        <translation>Не переносить в файлы теги исходника и отметку кодировщика (все форматы, кроме формата по умолчанию, их никогда не содержат).</translation>
    </message>
    <message>
        <source>Bring every file to the loudness &lt;lufs&gt;, such as -18, by one gain, with true peaks at or below -3 dBTP (default: each file keeps its level).</source>
        <translation>Приводить каждый файл к громкости &lt;lufs&gt;, например -18, одним усилением, с истинными пиками не выше -3 dBTP (по умолчанию уровень файла не меняется).</translation>
    </message>
    <message>
        <source>lufs</source>
        <translation>lufs</translation>
    </message>
    <message>
        <source>Cut silence (under -50 dBFS) at the start and the end of every file to 0.1 s.</source>
        <translation>Сокращать тишину (ниже -50 dBFS) в начале и в конце каждого файла до 0,1 с.</translation>
    </message>
    <message>
        <source>List the output formats and what each is for.</source>
        <translation>Показать выходные форматы и для чего нужен каждый.</translation>
    </message>
    <message>
        <source>Invalid value for --format: &apos;%1&apos; (one of %2).</source>
        <translation>Недопустимое значение --format: «%1» (допустимо одно из: %2).</translation>
    </message>
    <message>
        <source>Invalid value for --loudness: &apos;%1&apos; (LUFS from %2 to %3, such as -18).</source>
        <translation>Недопустимое значение --loudness: «%1» (LUFS от %2 до %3, например -18).</translation>
    </message>
    <message>
        <source>Options --overwrite and --update exclude each other.</source>
        <translation>Параметры --overwrite и --update исключают друг друга.</translation>
    </message>
    <message>
        <source>Run ffmpeg once for each file, never several small files in one run (for an ffmpeg on PATH that is a wrapper taking one input).</source>
        <translation>Запускать ffmpeg отдельно для каждого файла, никогда не объединяя несколько маленьких файлов в один запуск (для ffmpeg в PATH, который является обёрткой, принимающей один входной файл).</translation>
    </message>
    <message>
        <source>Converts sound files into 8 kHz mono 16-bit WAV files, the format phone systems want for voice prompts, or into the other formats they ask for (--format), named and laid out as one system wants them (--target).
With --convert it converts the files and folders named without a window; without it, the window opens with them listed.</source>
        <translation>Конвертирует звуковые файлы в WAV 8 кГц, моно, 16 бит — формат голосовых подсказок для телефонных систем — или в другие нужные им форматы (--format), с теми именами и папками, которых ждёт выбранная система (--target).
С --convert конвертирует указанные файлы и папки без окна; без него открывает окно и вносит их в список.</translation>
    </message>
    <message>
        <source>Invalid value for --target: &apos;%1&apos; (one of %2).</source>
        <translation>Недопустимое значение --target: «%1» (допустимо одно из: %2).</translation>
    </message>
    <message>
        <source>Invalid value for --format with --target %1: &apos;%2&apos; (one of %3).</source>
        <translation>Недопустимое значение --format для --target %1: «%2» (допустимо одно из: %3).</translation>
    </message>
    <message>
        <source>Formats %1 and %2 would both write the same .%3 file: give only one of them.</source>
        <translation>Форматы %1 и %2 записали бы один и тот же файл .%3: укажите только один из них.</translation>
    </message>
    <message>
        <source>Option --language works only with a target that keeps a folder per language (--target %1).</source>
        <translation>Параметр --language действует только для системы, у которой есть папка для каждого языка (--target %1).</translation>
    </message>
    <message>
        <source>Invalid value for --language: &apos;%1&apos; (a language code such as en, fr_CA or pt_BR).</source>
        <translation>Недопустимое значение --language: «%1» (нужен код языка, например en, fr_CA или pt_BR).</translation>
    </message>
    <message>
        <source>%1; also takes %2</source>
        <translation>%1; также принимает %2</translation>
    </message>
    <message>
        <source>Write the files as the phone system &lt;id&gt; plays them: its formats, names and folders (default: generic, the format chosen, named as always); --list-targets lists them.</source>
        <translation>Записывать файлы так, как их воспроизводит телефонная система &lt;id&gt;: в её форматах, с её именами и папками (по умолчанию: generic — выбранный формат, имена как прежде); список систем — --list-targets.</translation>
    </message>
    <message>
        <source>Write the files in format &lt;id&gt; (default: wav8, 8 kHz 16-bit WAV; with --target, its formats). May be given several times, or as &lt;id&gt;,&lt;id&gt;,...: each file is then written in each format. --list-formats lists them.</source>
        <translation>Записывать файлы в формате &lt;id&gt; (по умолчанию wav8, WAV 8 кГц 16 бит; с --target — форматы системы). Можно указать несколько раз или как &lt;id&gt;,&lt;id&gt;,...: тогда каждый файл записывается в каждом из форматов. Список форматов — --list-formats.</translation>
    </message>
    <message>
        <source>Write the files into the folder of language &lt;code&gt;, such as en or fr_CA, for a target with a folder per language (asterisk).</source>
        <translation>Записывать файлы в папку языка &lt;код&gt;, например en или fr_CA, для системы с папкой для каждого языка (asterisk).</translation>
    </message>
    <message>
        <source>code</source>
        <translation>код</translation>
    </message>
    <message>
        <source>List the targets, the phone systems the files can be made for, and the formats each writes.</source>
        <translation>Показать целевые системы — телефонные системы, для которых можно готовить файлы, — и форматы, которые записывает каждая.</translation>
    </message>
</context>
<context>
    <name>cConversion</name>
    <message>
        <source>ffmpeg could not be started: it is not installed, or not on PATH</source>
        <translation>Не удалось запустить ffmpeg: он не установлен или не найден в PATH</translation>
    </message>
    <message>
        <source>ffmpeg crashed</source>
        <translation>ffmpeg аварийно завершился</translation>
    </message>
    <message>
        <source>The output file exists and &quot;Skip existing files&quot; is chosen</source>
        <translation>Выходной файл уже существует, а выбрано «Пропускать существующие файлы»</translation>
    </message>
    <message>
        <source>ffmpeg failed with exit code %1</source>
        <translation>ffmpeg завершился с ошибкой, код %1</translation>
    </message>
    <message>
        <source>ffmpeg failed with exit code %1: %2</source>
        <translation>ffmpeg завершился с ошибкой, код %1: %2</translation>
    </message>
    <message>
        <source>The output file could not be written: %1</source>
        <translation>Не удалось записать выходной файл: %1</translation>
    </message>
    <message>
        <source>ffmpeg could not be started: %1</source>
        <translation>Не удалось запустить ffmpeg: %1</translation>
    </message>
    <message>
        <source>The output file is not older than its source and &quot;Update changed files&quot; is chosen</source>
        <translation>Выходной файл не старше исходного, а выбрано «Обновлять изменённые файлы»</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>cConverter</name>
    <message>
        <source>Unknown rule for existing files</source>
        <translation>Неизвестное правило для существующих файлов</translation>
    </message>
    <message>
        <source>Not converted: the output file would be the source file itself</source>
        <translation>Не конвертирован: выходной файл совпал бы с исходным</translation>
    </message>
    <message>
        <source>Not converted: the output file was already written in this batch from %1</source>
        <translation>Не конвертирован: выходной файл уже записан в этом пакете из %1</translation>
    </message>
    <message>
        <source>Unknown rule for output file names</source>
        <translation>Неизвестное правило для имён выходных файлов</translation>
    </message>
    <message>
        <source>Not converted: the output file %1 is another source of this batch</source>
        <translation>Не конвертирован: выходной файл %1 — другой исходный файл этого пакета</translation>
    </message>
</context>
<context>
    <name>cFileListModel</name>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Play %1</source>
        <translation>Воспроизвести %1</translation>
    </message>
    <message>
        <source>Converting</source>
        <translation>Конвертируется</translation>
    </message>
    <message>
        <source>Written to %1</source>
        <translation>Записан файл %1</translation>
    </message>
    <message>
        <source>OK, with a warning</source>
        <translation>ОК, с предупреждением</translation>
    </message>
    <message>
        <source>SKIP</source>
        <translation>ПРОПУСК</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Пропущен</translation>
    </message>
    <message>
        <source>FAIL!</source>
        <translation>ОШИБКА!</translation>
    </message>
</context>
<context>
    <name>cFileTable</name>
    <message>
        <source>Drop files or folders here, or press Select files</source>
        <translation>Перетащите сюда файлы или папки или нажмите «Выбрать файлы»</translation>
    </message>
</context>
<context>
    <name>cLogMessage</name>
    <message>
        <source>not a regular file</source>
        <translation>это не обычный файл</translation>
    </message>
    <message>
        <source>the file has other names (hard links)</source>
        <translation>у файла есть другие имена (жёсткие ссылки)</translation>
    </message>
    <message>
        <source>marrowby: running without a log: %1: %2</source>
        <translation>marrowby: работа без журнала: %1: %2</translation>
    </message>
</context>
<context>
    <name>cMainWidget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Select files</source>
        <translation>Выбрать файлы</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Конвертировать</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Open directory</source>
        <translation>Выбрать папку</translation>
    </message>
    <message>
        <source>&amp;Select files</source>
        <translation>&amp;Выбрать файлы</translation>
    </message>
    <message>
        <source>&amp;Convert</source>
        <translation>&amp;Конвертировать</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Параметры</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>Files to convert</source>
        <translation>Файлы для конвертации</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Выходная папка</translation>
    </message>
    <message>
        <source>Output folder (empty: the folder Marrowby was started from)</source>
        <translation>Выходная папка (пусто — папка, из которой запущен Marrowby)</translation>
    </message>
    <message>
        <source>Choose the output folder</source>
        <translation>Выбрать выходную папку</translation>
    </message>
    <message>
        <source>Stopping…</source>
        <translation>Остановка…</translation>
    </message>
    <message numerus="yes">
        <source>Listing: %n sound file(s) found</source>
        <translation>
            <numerusform>Поиск: найден %n звуковой файл</numerusform>
            <numerusform>Поиск: найдено %n звуковых файла</numerusform>
            <numerusform>Поиск: найдено %n звуковых файлов</numerusform>
        </translation>
    </message>
    <message>
        <source>Add files</source>
        <translation>Добавить файлы</translation>
    </message>
    <message>
        <source>Sound files (%1);;All files (*)</source>
        <translation>Звуковые файлы (%1);;Все файлы (*)</translation>
    </message>
</context>
<context>
    <name>cMainWindow</name>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>Stop the batch or the preview (Esc)</source>
        <translation>Остановить конвертацию или воспроизведение (Esc)</translation>
    </message>
</context>
<context>
    <name>cOptionsMenu</name>
    <message>
        <source>Set extension to .%1</source>
        <translation>Заменять расширение на .%1</translation>
    </message>
    <message>
        <source>Append .%1 to filenames</source>
        <translation>Добавлять .%1 к имени файла</translation>
    </message>
    <message>
        <source>Overwrite existing files</source>
        <translation>Перезаписывать существующие файлы</translation>
    </message>
    <message>
        <source>Skip existing files</source>
        <translation>Пропускать существующие файлы</translation>
    </message>
    <message>
        <source>Update changed files</source>
        <translation>Обновлять изменённые файлы</translation>
    </message>
    <message>
        <source>Keep folder trees</source>
        <translation>Сохранять структуру папок</translation>
    </message>
    <message>
        <source>Safe names (lower-case ASCII)</source>
        <translation>Безопасные имена (строчные ASCII)</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Формат</translation>
    </message>
    <message>
        <source>Even level</source>
        <translation>Выровнять громкость</translation>
    </message>
    <message>
        <source>Brings every file to %1 LUFS with one gain, true peaks at or below %2 dBTP</source>
        <translation>Приводит каждый файл к %1 LUFS одним усилением, истинные пики не выше %2 dBTP</translation>
    </message>
    <message>
        <source>Trim silence</source>
        <translation>Обрезать тишину</translation>
    </message>
    <message>
        <source>Cuts silence at the start and the end of every file to 0.1 s</source>
        <translation>Сокращает тишину в начале и в конце каждого файла до 0,1 с</translation>
    </message>
    <message>
        <source>Clean files</source>
        <translation>Чистые файлы</translation>
    </message>
    <message>
        <source>Copies no tags of the source and no mark of the encoder into the files</source>
        <translation>Не переносит в файлы теги исходника и отметку кодировщика</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Система</translation>
    </message>
    <message>
        <source>%1
Writes %2</source>
        <translation>%1
Записывает: %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 %2 kHz</source>
        <translation>%1 %2 кГц</translation>
    </message>
</context>
<context>
    <name>cOutputFormat</name>
    <message>
        <source>WAV, 8 kHz 16-bit PCM</source>
        <translation>WAV, 8 кГц, 16 бит PCM</translation>
    </message>
    <message>
        <source>the default; what most phone systems play</source>
        <translation>по умолчанию; его воспроизводит большинство телефонных систем</translation>
    </message>
    <message>
        <source>WAV, 8 kHz µ-law (G.711)</source>
        <translation>WAV, 8 кГц, µ-law (G.711)</translation>
    </message>
    <message>
        <source>voice mail, contact centres, VoiceXML IVRs, music on hold</source>
        <translation>голосовая почта, контакт-центры, IVR на VoiceXML, музыка на удержании</translation>
    </message>
    <message>
        <source>WAV, 8 kHz A-law (G.711)</source>
        <translation>WAV, 8 кГц, A-law (G.711)</translation>
    </message>
    <message>
        <source>the same outside North America</source>
        <translation>то же за пределами Северной Америки</translation>
    </message>
    <message>
        <source>WAV, 16 kHz 16-bit PCM</source>
        <translation>WAV, 16 кГц, 16 бит PCM</translation>
    </message>
    <message>
        <source>Raw µ-law, 8 kHz (.ulaw)</source>
        <translation>Raw µ-law, 8 кГц (.ulaw)</translation>
    </message>
    <message>
        <source>open-source PBXs play it without transcoding</source>
        <translation>свободные АТС воспроизводят его без перекодирования</translation>
    </message>
    <message>
        <source>Raw A-law, 8 kHz (.alaw)</source>
        <translation>Raw A-law, 8 кГц (.alaw)</translation>
    </message>
    <message>
        <source>the same for A-law lines</source>
        <translation>то же для линий A-law</translation>
    </message>
    <message>
        <source>Raw 16-bit, 8 kHz (.sln)</source>
        <translation>Raw 16 бит, 8 кГц (.sln)</translation>
    </message>
    <message>
        <source>signed linear, an open-source PBX&apos;s own format</source>
        <translation>линейный со знаком, собственный формат свободной АТС</translation>
    </message>
    <message>
        <source>Raw 16-bit, 16 kHz (.sln16)</source>
        <translation>Raw 16 бит, 16 кГц (.sln16)</translation>
    </message>
    <message>
        <source>the same for wideband calls</source>
        <translation>то же для широкополосных звонков</translation>
    </message>
    <message>
        <source>G.722 wideband (.g722)</source>
        <translation>G.722, широкополосный (.g722)</translation>
    </message>
    <message>
        <source>wideband calls without transcoding</source>
        <translation>широкополосные звонки без перекодирования</translation>
    </message>
    <message>
        <source>GSM 06.10 (.gsm)</source>
        <translation>GSM 06.10 (.gsm)</translation>
    </message>
    <message>
        <source>small files for older PBXs and gateways</source>
        <translation>маленькие файлы для старых АТС и шлюзов</translation>
    </message>
    <message>
        <source>WAV, 32 kHz 16-bit PCM</source>
        <translation>WAV, 32 кГц, 16 бит PCM</translation>
    </message>
    <message>
        <source>super-wideband calls</source>
        <translation>сверхширокополосные звонки</translation>
    </message>
    <message>
        <source>WAV, 48 kHz 16-bit PCM</source>
        <translation>WAV, 48 кГц, 16 бит PCM</translation>
    </message>
    <message>
        <source>full-band calls</source>
        <translation>полнополосные звонки</translation>
    </message>
    <message>
        <source>wideband (HD voice) phones; Asterisk wants them named .wav16 (target asterisk)</source>
        <translation>широкополосные (HD voice) телефоны; Asterisk ждёт их с расширением .wav16 (система asterisk)</translation>
    </message>
</context>
<context>
    <name>cPlayOutputAction</name>
    <message>
        <source>Play result</source>
        <translation>Воспроизвести результат</translation>
    </message>
</context>
<context>
    <name>cPlayer</name>
    <message>
        <source>no sound system could be started</source>
        <translation>не удалось запустить звуковую систему</translation>
    </message>
    <message>
        <source>the sound output could not be opened (no sound server or sound card)</source>
        <translation>не удалось открыть устройство вывода звука (нет звукового сервера или звуковой карты)</translation>
    </message>
    <message>
        <source>the file is missing or can&apos;t be read</source>
        <translation>файл отсутствует или не читается</translation>
    </message>
    <message>
        <source>the file is empty, damaged or in a format that can&apos;t be played</source>
        <translation>файл пуст, повреждён или в неподдерживаемом формате</translation>
    </message>
    <message>
        <source>the audio layer reported error %1</source>
        <translation>звуковая подсистема сообщила об ошибке %1</translation>
    </message>
</context>
<context>
    <name>cResultCheck</name>
    <message>
        <source>The result is much shorter than its source: %1 s of %2 s</source>
        <translation>Результат намного короче исходного: %1 с из %2 с</translation>
    </message>
    <message>
        <source>The result is silent or nearly so</source>
        <translation>Результат беззвучен или почти беззвучен</translation>
    </message>
    <message>
        <source>The result is clipped: its loudest stretches are cut off</source>
        <translation>Результат перегружен: самые громкие места обрезаны</translation>
    </message>
</context>
<context>
    <name>cRowActions</name>
    <message>
        <source>Play</source>
        <translation>Воспроизвести</translation>
    </message>
    <message>
        <source>Remove from list</source>
        <translation>Удалить из списка</translation>
    </message>
    <message>
        <source>Open containing folder</source>
        <translation>Открыть папку с файлом</translation>
    </message>
    <message>
        <source>Next failure</source>
        <translation>Следующая ошибка</translation>
    </message>
    <message>
        <source>Show only failed and warned</source>
        <translation>Показать только ошибки и предупреждения</translation>
    </message>
    <message>
        <source>Convert failed files again</source>
        <translation>Повторить неудачные</translation>
    </message>
    <message>
        <source>Add files…</source>
        <translation>Добавить файлы…</translation>
    </message>
    <message>
        <source>Clear list</source>
        <translation>Очистить список</translation>
    </message>
</context>
<context>
    <name>cSourceList</name>
    <message>
        <source>The folder can&apos;t be read</source>
        <translation>Не удаётся прочитать папку</translation>
    </message>
    <message>
        <source>The name of a folder on its path is not valid UTF-8: rename the folder</source>
        <translation>Имя одной из папок в пути не в кодировке UTF-8: переименуйте папку</translation>
    </message>
    <message>
        <source>The name is not valid UTF-8: rename the file</source>
        <translation>Имя файла не в кодировке UTF-8: переименуйте файл</translation>
    </message>
    <message>
        <source>No such file or folder</source>
        <translation>Нет такого файла или папки</translation>
    </message>
</context>
<context>
    <name>cStatusLine</name>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
</context>
<context>
    <name>cStatusMessage</name>
    <message numerus="yes">
        <source>%1, %n named path(s) not found</source>
        <translation>
            <numerusform>%1, не найден %n указанный путь</numerusform>
            <numerusform>%1, не найдены %n указанных пути</numerusform>
            <numerusform>%1, не найдено %n указанных путей</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %n could not be read (see the log)</source>
        <translation>
            <numerusform>%1, %n не удалось прочитать (см. журнал)</numerusform>
            <numerusform>%1, %n не удалось прочитать (см. журнал)</numerusform>
            <numerusform>%1, %n не удалось прочитать (см. журнал)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) listed</source>
        <translation>
            <numerusform>%n файл в списке</numerusform>
            <numerusform>%n файла в списке</numerusform>
            <numerusform>%n файлов в списке</numerusform>
        </translation>
    </message>
    <message>
        <source>No sound files found</source>
        <translation>Звуковые файлы не найдены</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) added</source>
        <translation>
            <numerusform>Добавлен %n файл</numerusform>
            <numerusform>Добавлено %n файла</numerusform>
            <numerusform>Добавлено %n файлов</numerusform>
        </translation>
    </message>
    <message>
        <source>No files added</source>
        <translation>Файлы не добавлены</translation>
    </message>
    <message numerus="yes">
        <source>%1, %n already listed</source>
        <translation>
            <numerusform>%1, %n уже в списке</numerusform>
            <numerusform>%1, %n уже в списке</numerusform>
            <numerusform>%1, %n уже в списке</numerusform>
        </translation>
    </message>
    <message>
        <source>%1; %2 is not a sound file</source>
        <translation>%1; %2 — не звуковой файл</translation>
    </message>
    <message numerus="yes">
        <source>%1; %n file(s) left out: not sound files</source>
        <translation>
            <numerusform>%1; пропущен %n файл: не звуковой</numerusform>
            <numerusform>%1; пропущено %n файла: не звуковые</numerusform>
            <numerusform>%1; пропущено %n файлов: не звуковые</numerusform>
        </translation>
    </message>
    <message>
        <source>Listing cancelled: the list is as it was</source>
        <translation>Поиск отменён: список не изменился</translation>
    </message>
    <message>
        <source>Nothing to convert: select files or drop them here first</source>
        <translation>Нечего конвертировать: сначала выберите файлы или перетащите их сюда</translation>
    </message>
    <message>
        <source>The output folder %1 could not be created</source>
        <translation>Не удалось создать выходную папку %1</translation>
    </message>
    <message>
        <source>Could not play, %1: %2</source>
        <translation>Не удалось воспроизвести, %1: %2</translation>
    </message>
    <message>
        <source>Playing %1</source>
        <translation>Воспроизведение: %1</translation>
    </message>
    <message>
        <source>%1 converted with a warning: %2</source>
        <translation>%1 преобразован с предупреждением: %2</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1: ошибка: %2</translation>
    </message>
</context>
<context>
    <name>cTarget</name>
    <message>
        <source>Any system</source>
        <translation>Любая система</translation>
    </message>
    <message>
        <source>the format chosen, named as always</source>
        <translation>выбранный формат, имена как прежде</translation>
    </message>
    <message>
        <source>Asterisk</source>
        <translation>Asterisk</translation>
    </message>
    <message>
        <source>Asterisk and the PBXs built on it: each prompt in several codecs side by side</source>
        <translation>Asterisk и АТС на его основе: каждая подсказка в нескольких кодеках рядом</translation>
    </message>
    <message>
        <source>FreeSWITCH</source>
        <translation>FreeSWITCH</translation>
    </message>
    <message>
        <source>FreeSWITCH: 16-bit WAV in a folder per rate</source>
        <translation>FreeSWITCH: 16-битный WAV, своя папка для каждой частоты</translation>
    </message>
    <message>
        <source>Cisco Unified CM music on hold</source>
        <translation>Cisco Unified CM, музыка на удержании</translation>
    </message>
    <message>
        <source>music on hold in Cisco Unified CM</source>
        <translation>музыка на удержании в Cisco Unified CM</translation>
    </message>
    <message>
        <source>Cisco UCCX and Unity Connection</source>
        <translation>Cisco UCCX и Unity Connection</translation>
    </message>
    <message>
        <source>Cisco contact-centre and voice-mail prompts</source>
        <translation>голосовые подсказки контакт-центра и голосовой почты Cisco</translation>
    </message>
    <message>
        <source>Avaya Aura</source>
        <translation>Avaya Aura</translation>
    </message>
    <message>
        <source>Avaya Aura announcements</source>
        <translation>объявления Avaya Aura</translation>
    </message>
    <message>
        <source>Amazon Connect</source>
        <translation>Amazon Connect</translation>
    </message>
    <message>
        <source>Amazon Connect prompts</source>
        <translation>голосовые подсказки Amazon Connect</translation>
    </message>
    <message>
        <source>Genesys Cloud</source>
        <translation>Genesys Cloud</translation>
    </message>
    <message>
        <source>Genesys Cloud prompts</source>
        <translation>голосовые подсказки Genesys Cloud</translation>
    </message>
    <message>
        <source>Microsoft Teams</source>
        <translation>Microsoft Teams</translation>
    </message>
    <message>
        <source>Microsoft Teams auto attendants and call queues</source>
        <translation>автосекретари и очереди вызовов Microsoft Teams</translation>
    </message>
    <message>
        <source>3CX</source>
        <translation>3CX</translation>
    </message>
    <message>
        <source>3CX prompts and music on hold</source>
        <translation>голосовые подсказки и музыка на удержании 3CX</translation>
    </message>
    <message>
        <source>Longer than %1 takes: %2, at most %3</source>
        <translation>Длиннее, чем принимает %1: %2, допустимо не более %3</translation>
    </message>
    <message>
        <source>Larger than %1 takes: %2 MB, at most %3 MB</source>
        <translation>Больше, чем принимает %1: %2 МБ, допустимо не более %3 МБ</translation>
    </message>
    <message>
        <source>Not a WAV file: its header is missing or damaged</source>
        <translation>Не файл WAV: заголовок отсутствует или повреждён</translation>
    </message>
    <message>
        <source>Coded as %1, but Asterisk plays a .%2 file only as 16-bit PCM</source>
        <translation>Закодирован как %1, а Asterisk воспроизводит файл .%2 только в 16-битном PCM</translation>
    </message>
    <message>
        <source>Coded as %1, not %2 as its format says</source>
        <translation>Закодирован как %1, а не %2, как требует его формат</translation>
    </message>
    <message>
        <source>Holds %1-bit samples, not %2-bit ones</source>
        <translation>Отсчёты %1-битные, а не %2-битные</translation>
    </message>
    <message>
        <source>Not mono: it has %1 channels</source>
        <translation>Не моно: число каналов — %1</translation>
    </message>
    <message>
        <source>Sampled at %1 Hz, but Asterisk plays a .%2 file only at %3 Hz</source>
        <translation>Частота дискретизации %1 Гц, а Asterisk воспроизводит файл .%2 только с частотой %3 Гц</translation>
    </message>
    <message>
        <source>Sampled at %1 Hz, not %2 Hz as its format says</source>
        <translation>Частота дискретизации %1 Гц, а не %2 Гц, как требует его формат</translation>
    </message>
    <message>
        <source>Unfinished: its data size was never filled in</source>
        <translation>Не дописан: размер данных в заголовке так и не заполнен</translation>
    </message>
    <message>
        <source>Cut short: its header promises %1 bytes of sound, the file holds %2</source>
        <translation>Обрезан: заголовок обещает %1 байт звука, а в файле %2</translation>
    </message>
    <message>
        <source>The file holds no sound</source>
        <translation>В файле нет звука</translation>
    </message>
    <message>
        <source>Cut short: %1 bytes of sound are not a whole number of %2-byte frames</source>
        <translation>Обрезан: %1 байт звука — не целое число кадров по %2 байт</translation>
    </message>
</context>
</TS>
