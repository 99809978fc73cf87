<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
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
        <source>Play %1</source>
        <translation>Воспроизвести %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>FAIL!</source>
        <translation>ОШИБКА!</translation>
    </message>
    <message>
        <source>Set extension to .wav</source>
        <translation>Заменять расширение на .wav</translation>
    </message>
    <message>
        <source>Append .wav to filenames</source>
        <translation>Добавлять .wav к имени файла</translation>
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
        <source>Sound files (*.wav *.mp3);;All files (*.*)</source>
        <translation>Звуковые файлы (*.wav *.mp3);;Все файлы (*.*)</translation>
    </message>
    <message>
        <source>Open directory</source>
        <translation>Выбрать папку</translation>
    </message>
</context>
</TS>
