<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>cBatchProgress</name>
    <message numerus="yes">
        <source>Converting: %1 of %2 done, %n failed, %3 elapsed</source>
        <translation>
            <numerusform>Konvertierung: %1 von %2 fertig, %n fehlgeschlagen, %3 vergangen</numerusform>
            <numerusform>Konvertierung: %1 von %2 fertig, %n fehlgeschlagen, %3 vergangen</numerusform>
        </translation>
    </message>
    <message>
        <source>, about %1 left</source>
        <translation>, noch etwa %1</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s): </source>
        <translation>
            <numerusform>%n Datei: </numerusform>
            <numerusform>%n Dateien: </numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 converted, %n failed, in %2</source>
        <translation>
            <numerusform>%1 konvertiert, %n fehlgeschlagen, in %2</numerusform>
            <numerusform>%1 konvertiert, %n fehlgeschlagen, in %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Stopped: %1 of %2 done, %n failed, in %3</source>
        <translation>
            <numerusform>Abgebrochen: %1 von %2 fertig, %n fehlgeschlagen, in %3</numerusform>
            <numerusform>Abgebrochen: %1 von %2 fertig, %n fehlgeschlagen, in %3</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>cConversion</name>
    <message>
        <source>ffmpeg could not be started: it is not installed, or not on PATH</source>
        <translation>ffmpeg konnte nicht gestartet werden: Es ist nicht installiert oder nicht im PATH</translation>
    </message>
    <message>
        <source>ffmpeg crashed</source>
        <translation>ffmpeg ist abgestürzt</translation>
    </message>
    <message>
        <source>The output file exists and &quot;Skip existing files&quot; is chosen</source>
        <translation>Die Ausgabedatei existiert bereits und „Vorhandene Dateien überspringen“ ist gewählt</translation>
    </message>
    <message>
        <source>ffmpeg failed with exit code %1</source>
        <translation>ffmpeg ist mit Exit-Code %1 fehlgeschlagen</translation>
    </message>
    <message>
        <source>ffmpeg failed with exit code %1: %2</source>
        <translation>ffmpeg ist mit Exit-Code %1 fehlgeschlagen: %2</translation>
    </message>
</context>
<context>
    <name>cConverter</name>
    <message>
        <source>Unknown rule for existing files</source>
        <translation>Unbekannte Regel für vorhandene Dateien</translation>
    </message>
    <message>
        <source>Not converted: the output file would be the source file itself</source>
        <translation>Nicht konvertiert: Die Ausgabedatei wäre die Quelldatei selbst</translation>
    </message>
    <message>
        <source>Not converted: the output file was already written in this batch from %1</source>
        <translation>Nicht konvertiert: Die Ausgabedatei wurde in diesem Durchlauf bereits aus %1 geschrieben</translation>
    </message>
    <message>
        <source>Unknown rule for output file names</source>
        <translation>Unbekannte Regel für Ausgabedateinamen</translation>
    </message>
    <message>
        <source>Not converted: the output file %1 is another source of this batch</source>
        <translation>Nicht konvertiert: Die Ausgabedatei %1 ist eine andere Quelldatei dieses Durchlaufs</translation>
    </message>
</context>
<context>
    <name>cMainWidget</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Select files</source>
        <translation>Dateien auswählen</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Konvertieren</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Play %1</source>
        <translation>%1 abspielen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>FAIL!</source>
        <translation>FEHLER!</translation>
    </message>
    <message>
        <source>Set extension to .wav</source>
        <translation>Endung durch .wav ersetzen</translation>
    </message>
    <message>
        <source>Append .wav to filenames</source>
        <translation>.wav an Dateinamen anhängen</translation>
    </message>
    <message>
        <source>Overwrite existing files</source>
        <translation>Vorhandene Dateien überschreiben</translation>
    </message>
    <message>
        <source>Skip existing files</source>
        <translation>Vorhandene Dateien überspringen</translation>
    </message>
    <message>
        <source>Sound files (*.wav *.mp3);;All files (*.*)</source>
        <translation>Audiodateien (*.wav *.mp3);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Open directory</source>
        <translation>Ordner auswählen</translation>
    </message>
</context>
</TS>
