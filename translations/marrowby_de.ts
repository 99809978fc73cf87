<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>cBatchCommand</name>
    <message>
        <source>cannot make the output folder %1</source>
        <translation>der Ausgabeordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>the output file is not older than its source (--update)</source>
        <translation>die Ausgabedatei ist nicht älter als ihre Quelle (--update)</translation>
    </message>
    <message>
        <source>the output file exists (--overwrite replaces it, --update replaces it when older than its source)</source>
        <translation>die Ausgabedatei existiert (--overwrite ersetzt sie, --update ersetzt sie, wenn sie älter als ihre Quelle ist)</translation>
    </message>
</context>
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
    <message numerus="yes">
        <source>, %n skipped</source>
        <translation>
            <numerusform>, %n übersprungen</numerusform>
            <numerusform>, %n übersprungen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n with a warning</source>
        <translation>
            <numerusform>, %n mit Warnung</numerusform>
            <numerusform>, %n mit Warnungen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Converting: %1 of %2 done, %n failed%3, %4 elapsed</source>
        <translation>
            <numerusform>Konvertierung: %1 von %2 fertig, %n fehlgeschlagen%3, %4 vergangen</numerusform>
            <numerusform>Konvertierung: %1 von %2 fertig, %n fehlgeschlagen%3, %4 vergangen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 converted, %n failed%2, in %3</source>
        <translation>
            <numerusform>%1 konvertiert, %n fehlgeschlagen%2, in %3</numerusform>
            <numerusform>%1 konvertiert, %n fehlgeschlagen%2, in %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Stopped: %1 of %2 done, %n failed%3, in %4</source>
        <translation>
            <numerusform>Angehalten: %1 von %2 fertig, %n fehlgeschlagen%3, in %4</numerusform>
            <numerusform>Angehalten: %1 von %2 fertig, %n fehlgeschlagen%3, in %4</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>cCommandLine</name>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <translation>Unbekannte Option &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>%1: %2 Try &quot;%1 --help&quot;.</source>
        <translation>%1: %2 Siehe &quot;%1 --help&quot;.</translation>
    </message>
    <message>
        <source>Convert without a window.</source>
        <translation>Ohne Fenster konvertieren.</translation>
    </message>
    <message>
        <source>Write the WAV files into &lt;dir&gt;, made if missing (default: the current folder).</source>
        <translation>Die WAV-Dateien in &lt;Ordner&gt; schreiben; fehlt er, wird er angelegt (Standard: der aktuelle Ordner).</translation>
    </message>
    <message>
        <source>dir</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Append .wav to the file names (hello.mp3 becomes hello.mp3.wav) instead of setting the extension to .wav.</source>
        <translation>.wav an die Dateinamen anhängen (aus hello.mp3 wird hello.mp3.wav), statt die Endung durch .wav zu ersetzen.</translation>
    </message>
    <message>
        <source>Run up to &lt;n&gt; conversions at once (default: one per processor).</source>
        <translation>Bis zu &lt;n&gt; Konvertierungen gleichzeitig ausführen (Standard: eine pro Prozessor).</translation>
    </message>
    <message>
        <source>n</source>
        <translation>n</translation>
    </message>
    <message>
        <source>Print only the files that failed and then the summary; nothing when every file was converted.</source>
        <translation>Nur die fehlgeschlagenen Dateien und danach die Zusammenfassung ausgeben; nichts, wenn alle Dateien konvertiert wurden.</translation>
    </message>
    <message>
        <source>Missing value after &apos;%1&apos;: &apos;%2&apos; is an option.</source>
        <translation>Fehlender Wert nach &apos;%1&apos;: &apos;%2&apos; ist eine Option.</translation>
    </message>
    <message>
        <source>Option &apos;%1&apos; works only with --convert.</source>
        <translation>Die Option &apos;%1&apos; gilt nur zusammen mit --convert.</translation>
    </message>
    <message>
        <source>FILE|FOLDER</source>
        <translation>DATEI|ORDNER</translation>
    </message>
    <message>
        <source>Sound files, and folders whose sound files are converted, sub-folders included.</source>
        <translation>Audiodateien sowie Ordner, deren Audiodateien einschließlich Unterordnern konvertiert werden.</translation>
    </message>
    <message>
        <source>FILE|FOLDER...</source>
        <translation>DATEI|ORDNER...</translation>
    </message>
    <message>
        <source>Invalid value for --jobs: &apos;%1&apos; (a whole number from 1 on).</source>
        <translation>Ungültiger Wert für --jobs: &apos;%1&apos; (eine ganze Zahl ab 1).</translation>
    </message>
    <message>
        <source>Invalid value for --jobs: &apos;%1&apos; (at most %2 conversions at once).</source>
        <translation>Ungültiger Wert für --jobs: &apos;%1&apos; (höchstens %2 Konvertierungen gleichzeitig).</translation>
    </message>
    <message>
        <source>No file or folder given.</source>
        <translation>Keine Datei und kein Ordner angegeben.</translation>
    </message>
    <message>
        <source>Overwrite existing WAV files (default: skip them; a skipped file is no failure).</source>
        <translation>Vorhandene WAV-Dateien überschreiben (Standard: überspringen; eine übersprungene Datei ist kein Fehler).</translation>
    </message>
    <message>
        <source>Convert a file only when its WAV file is missing or older than it; skip it otherwise.</source>
        <translation>Eine Datei nur konvertieren, wenn ihre WAV-Datei fehlt oder älter ist; sonst überspringen.</translation>
    </message>
    <message>
        <source>Write each file found in a named folder under its path relative to that folder (out/main-menu/greeting.wav), making folders as needed.</source>
        <translation>Jede Datei aus einem angegebenen Ordner unter ihrem Pfad relativ zu diesem Ordner schreiben (out/main-menu/greeting.wav) und Ordner nach Bedarf anlegen.</translation>
    </message>
    <message>
        <source>Write lower-case ASCII names: other scripts transliterated, blanks and punctuation turned into dashes (Welcome Greeting (final).mp3 becomes welcome-greeting-final.wav).</source>
        <translation>Namen in ASCII-Kleinbuchstaben schreiben: andere Schriften transliteriert, Leer- und Satzzeichen zu Bindestrichen (aus Welcome Greeting (final).mp3 wird welcome-greeting-final.wav).</translation>
    </message>
    <message>
        <source>id</source>
        <translation>id</translation>
    </message>
    <message>
        <source>Copy no tags of the source and no mark of the encoder into the files (the formats but the default never carry them).</source>
        <translation>Keine Tags der Quelle und keine Kennung des Encoders in die Dateien übernehmen (alle Formate außer dem Standard enthalten sie nie).</translation>
    </message>
    <message>
        <source>Bring every file to the loudness &lt;lufs&gt;, such as -18, by one gain, with true peaks at or below -3 dBTP (default: each file keeps its level).</source>
        <translation>Jede Datei mit einer einzigen Verstärkung auf die Lautheit &lt;lufs&gt; bringen, etwa -18, mit True Peaks von höchstens -3 dBTP (Standard: jede Datei behält ihren Pegel).</translation>
    </message>
    <message>
        <source>lufs</source>
        <translation>lufs</translation>
    </message>
    <message>
        <source>Cut silence (under -50 dBFS) at the start and the end of every file to 0.1 s.</source>
        <translation>Stille (unter -50 dBFS) am Anfang und am Ende jeder Datei auf 0,1 s kürzen.</translation>
    </message>
    <message>
        <source>List the output formats and what each is for.</source>
        <translation>Die Ausgabeformate auflisten und wofür jedes gedacht ist.</translation>
    </message>
    <message>
        <source>Invalid value for --format: &apos;%1&apos; (one of %2).</source>
        <translation>Ungültiger Wert für --format: &apos;%1&apos; (eines von %2).</translation>
    </message>
    <message>
        <source>Invalid value for --loudness: &apos;%1&apos; (LUFS from %2 to %3, such as -18).</source>
        <translation>Ungültiger Wert für --loudness: &apos;%1&apos; (LUFS von %2 bis %3, etwa -18).</translation>
    </message>
    <message>
        <source>Options --overwrite and --update exclude each other.</source>
        <translation>Die Optionen --overwrite und --update schließen einander aus.</translation>
    </message>
    <message>
        <source>Run ffmpeg once for each file, never several small files in one run (for an ffmpeg on PATH that is a wrapper taking one input).</source>
        <translation>ffmpeg für jede Datei einzeln starten, nie mehrere kleine Dateien in einem Lauf (für ein ffmpeg im PATH, das ein Wrapper für nur eine Eingabe ist).</translation>
    </message>
    <message>
        <source>Converts sound files into 8 kHz mono 16-bit WAV files, the format phone systems want for voice prompts, or into the other formats they ask for (--format), named and laid out as one system wants them (--target).
With --convert it converts the files and folders named without a window; without it, the window opens with them listed.</source>
        <translation>Konvertiert Audiodateien in WAV-Dateien mit 8 kHz, Mono, 16 Bit – das Format, das Telefonanlagen für Sprachansagen erwarten – oder in die anderen Formate, die sie verlangen (--format), benannt und abgelegt, wie eine bestimmte Anlage es erwartet (--target).
Mit --convert werden die angegebenen Dateien und Ordner ohne Fenster konvertiert; ohne diese Option öffnet sich das Fenster und listet sie auf.</translation>
    </message>
    <message>
        <source>Invalid value for --target: &apos;%1&apos; (one of %2).</source>
        <translation>Ungültiger Wert für --target: &apos;%1&apos; (eines von %2).</translation>
    </message>
    <message>
        <source>Invalid value for --format with --target %1: &apos;%2&apos; (one of %3).</source>
        <translation>Ungültiger Wert für --format mit --target %1: &apos;%2&apos; (eines von %3).</translation>
    </message>
    <message>
        <source>Formats %1 and %2 would both write the same .%3 file: give only one of them.</source>
        <translation>Die Formate %1 und %2 würden beide dieselbe .%3-Datei schreiben: nur eines davon angeben.</translation>
    </message>
    <message>
        <source>Option --language works only with a target that keeps a folder per language (--target %1).</source>
        <translation>Die Option --language gilt nur für ein Zielsystem mit einem Ordner je Sprache (--target %1).</translation>
    </message>
    <message>
        <source>Invalid value for --language: &apos;%1&apos; (a language code such as en, fr_CA or pt_BR).</source>
        <translation>Ungültiger Wert für --language: &apos;%1&apos; (ein Sprachcode wie en, fr_CA oder pt_BR).</translation>
    </message>
    <message>
        <source>%1; also takes %2</source>
        <translation>%1; nimmt auch %2</translation>
    </message>
    <message>
        <source>Write the files as the phone system &lt;id&gt; plays them: its formats, names and folders (default: generic, the format chosen, named as always); --list-targets lists them.</source>
        <translation>Die Dateien so schreiben, wie die Telefonanlage &lt;id&gt; sie abspielt: ihre Formate, Namen und Ordner (Standard: generic, das gewählte Format, benannt wie bisher); --list-targets listet die Zielsysteme auf.</translation>
    </message>
    <message>
        <source>Write the files in format &lt;id&gt; (default: wav8, 8 kHz 16-bit WAV; with --target, its formats). May be given several times, or as &lt;id&gt;,&lt;id&gt;,...: each file is then written in each format. --list-formats lists them.</source>
        <translation>Die Dateien im Format &lt;id&gt; schreiben (Standard: wav8, WAV mit 8 kHz, 16 Bit; mit --target dessen Formate). Mehrfach oder als &lt;id&gt;,&lt;id&gt;,... angebbar: dann wird jede Datei in jedem Format geschrieben. --list-formats listet die Formate auf.</translation>
    </message>
    <message>
        <source>Write the files into the folder of language &lt;code&gt;, such as en or fr_CA, for a target with a folder per language (asterisk).</source>
        <translation>Die Dateien in den Ordner der Sprache &lt;Code&gt; schreiben, etwa en oder fr_CA, für ein Zielsystem mit einem Ordner je Sprache (asterisk).</translation>
    </message>
    <message>
        <source>code</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>List the targets, the phone systems the files can be made for, and the formats each writes.</source>
        <translation>Die Zielsysteme auflisten, also die Telefonanlagen, für die die Dateien gemacht werden können, und die Formate, die jedes schreibt.</translation>
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
    <message>
        <source>The output file could not be written: %1</source>
        <translation>Die Ausgabedatei konnte nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>ffmpeg could not be started: %1</source>
        <translation>ffmpeg konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>The output file is not older than its source and &quot;Update changed files&quot; is chosen</source>
        <translation>Die Ausgabedatei ist nicht älter als ihre Quelle, und „Geänderte Dateien aktualisieren“ ist gewählt</translation>
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
    <name>cFileListModel</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Play %1</source>
        <translation>%1 abspielen</translation>
    </message>
    <message>
        <source>Converting</source>
        <translation>Wird konvertiert</translation>
    </message>
    <message>
        <source>Written to %1</source>
        <translation>Gespeichert als %1</translation>
    </message>
    <message>
        <source>OK, with a warning</source>
        <translation>OK, mit Warnung</translation>
    </message>
    <message>
        <source>SKIP</source>
        <translation>ÜBERSPR.</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Übersprungen</translation>
    </message>
    <message>
        <source>FAIL!</source>
        <translation>FEHLER!</translation>
    </message>
</context>
<context>
    <name>cFileTable</name>
    <message>
        <source>Drop files or folders here, or press Select files</source>
        <translation>Dateien oder Ordner hierher ziehen oder „Dateien auswählen“ drücken</translation>
    </message>
</context>
<context>
    <name>cLogMessage</name>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>the file has other names (hard links)</source>
        <translation>die Datei hat weitere Namen (harte Links)</translation>
    </message>
    <message>
        <source>marrowby: running without a log: %1: %2</source>
        <translation>marrowby: läuft ohne Protokoll: %1: %2</translation>
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
        <source>Open directory</source>
        <translation>Ordner auswählen</translation>
    </message>
    <message>
        <source>&amp;Select files</source>
        <translation>&amp;Dateien auswählen</translation>
    </message>
    <message>
        <source>&amp;Convert</source>
        <translation>&amp;Konvertieren</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Files to convert</source>
        <translation>Zu konvertierende Dateien</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Ausgabeordner</translation>
    </message>
    <message>
        <source>Output folder (empty: the folder Marrowby was started from)</source>
        <translation>Ausgabeordner (leer: der Ordner, aus dem Marrowby gestartet wurde)</translation>
    </message>
    <message>
        <source>Choose the output folder</source>
        <translation>Ausgabeordner auswählen</translation>
    </message>
    <message>
        <source>Stopping…</source>
        <translation>Wird abgebrochen …</translation>
    </message>
    <message numerus="yes">
        <source>Listing: %n sound file(s) found</source>
        <translation>
            <numerusform>Auflisten: %n Tondatei gefunden</numerusform>
            <numerusform>Auflisten: %n Tondateien gefunden</numerusform>
        </translation>
    </message>
    <message>
        <source>Add files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Sound files (%1);;All files (*)</source>
        <translation>Audiodateien (%1);;Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>cMainWindow</name>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Stop the batch or the preview (Esc)</source>
        <translation>Konvertierung oder Wiedergabe abbrechen (Esc)</translation>
    </message>
</context>
<context>
    <name>cOptionsMenu</name>
    <message>
        <source>Set extension to .%1</source>
        <translation>Endung durch .%1 ersetzen</translation>
    </message>
    <message>
        <source>Append .%1 to filenames</source>
        <translation>.%1 an Dateinamen anhängen</translation>
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
        <source>Update changed files</source>
        <translation>Geänderte Dateien aktualisieren</translation>
    </message>
    <message>
        <source>Keep folder trees</source>
        <translation>Ordnerstruktur beibehalten</translation>
    </message>
    <message>
        <source>Safe names (lower-case ASCII)</source>
        <translation>Sichere Namen (ASCII-Kleinbuchstaben)</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Even level</source>
        <translation>Gleiche Lautheit</translation>
    </message>
    <message>
        <source>Brings every file to %1 LUFS with one gain, true peaks at or below %2 dBTP</source>
        <translation>Bringt jede Datei mit einer Verstärkung auf %1 LUFS, True Peaks höchstens %2 dBTP</translation>
    </message>
    <message>
        <source>Trim silence</source>
        <translation>Stille kürzen</translation>
    </message>
    <message>
        <source>Cuts silence at the start and the end of every file to 0.1 s</source>
        <translation>Kürzt Stille am Anfang und am Ende jeder Datei auf 0,1 s</translation>
    </message>
    <message>
        <source>Clean files</source>
        <translation>Saubere Dateien</translation>
    </message>
    <message>
        <source>Copies no tags of the source and no mark of the encoder into the files</source>
        <translation>Übernimmt keine Tags der Quelle und keine Kennung des Encoders in die Dateien</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Zielsystem</translation>
    </message>
    <message>
        <source>%1
Writes %2</source>
        <translation>%1
Schreibt %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 %2 kHz</source>
        <translation>%1 %2 kHz</translation>
    </message>
</context>
<context>
    <name>cOutputFormat</name>
    <message>
        <source>WAV, 8 kHz 16-bit PCM</source>
        <translation>WAV, 8 kHz, 16 Bit PCM</translation>
    </message>
    <message>
        <source>the default; what most phone systems play</source>
        <translation>der Standard; was die meisten Telefonanlagen abspielen</translation>
    </message>
    <message>
        <source>WAV, 8 kHz µ-law (G.711)</source>
        <translation>WAV, 8 kHz, µ-law (G.711)</translation>
    </message>
    <message>
        <source>voice mail, contact centres, VoiceXML IVRs, music on hold</source>
        <translation>Voicemail, Contact-Center, VoiceXML-IVRs, Wartemusik</translation>
    </message>
    <message>
        <source>WAV, 8 kHz A-law (G.711)</source>
        <translation>WAV, 8 kHz, A-law (G.711)</translation>
    </message>
    <message>
        <source>the same outside North America</source>
        <translation>dasselbe außerhalb Nordamerikas</translation>
    </message>
    <message>
        <source>WAV, 16 kHz 16-bit PCM</source>
        <translation>WAV, 16 kHz, 16 Bit PCM</translation>
    </message>
    <message>
        <source>Raw µ-law, 8 kHz (.ulaw)</source>
        <translation>Roh-µ-law, 8 kHz (.ulaw)</translation>
    </message>
    <message>
        <source>open-source PBXs play it without transcoding</source>
        <translation>Open-Source-Telefonanlagen spielen es ohne Umkodierung ab</translation>
    </message>
    <message>
        <source>Raw A-law, 8 kHz (.alaw)</source>
        <translation>Roh-A-law, 8 kHz (.alaw)</translation>
    </message>
    <message>
        <source>the same for A-law lines</source>
        <translation>dasselbe für A-law-Leitungen</translation>
    </message>
    <message>
        <source>Raw 16-bit, 8 kHz (.sln)</source>
        <translation>Roh, 16 Bit, 8 kHz (.sln)</translation>
    </message>
    <message>
        <source>signed linear, an open-source PBX&apos;s own format</source>
        <translation>linear mit Vorzeichen, das eigene Format einer Open-Source-Telefonanlage</translation>
    </message>
    <message>
        <source>Raw 16-bit, 16 kHz (.sln16)</source>
        <translation>Roh, 16 Bit, 16 kHz (.sln16)</translation>
    </message>
    <message>
        <source>the same for wideband calls</source>
        <translation>dasselbe für Breitband-Gespräche</translation>
    </message>
    <message>
        <source>G.722 wideband (.g722)</source>
        <translation>G.722 Breitband (.g722)</translation>
    </message>
    <message>
        <source>wideband calls without transcoding</source>
        <translation>Breitband-Gespräche ohne Umkodierung</translation>
    </message>
    <message>
        <source>GSM 06.10 (.gsm)</source>
        <translation>GSM 06.10 (.gsm)</translation>
    </message>
    <message>
        <source>small files for older PBXs and gateways</source>
        <translation>kleine Dateien für ältere Telefonanlagen und Gateways</translation>
    </message>
    <message>
        <source>WAV, 32 kHz 16-bit PCM</source>
        <translation>WAV, 32 kHz, 16 Bit PCM</translation>
    </message>
    <message>
        <source>super-wideband calls</source>
        <translation>Superbreitband-Gespräche</translation>
    </message>
    <message>
        <source>WAV, 48 kHz 16-bit PCM</source>
        <translation>WAV, 48 kHz, 16 Bit PCM</translation>
    </message>
    <message>
        <source>full-band calls</source>
        <translation>Vollband-Gespräche</translation>
    </message>
    <message>
        <source>wideband (HD voice) phones; Asterisk wants them named .wav16 (target asterisk)</source>
        <translation>Breitband-Telefone (HD Voice); Asterisk erwartet sie mit der Endung .wav16 (Zielsystem asterisk)</translation>
    </message>
</context>
<context>
    <name>cPlayOutputAction</name>
    <message>
        <source>Play result</source>
        <translation>Ergebnis abspielen</translation>
    </message>
</context>
<context>
    <name>cPlayer</name>
    <message>
        <source>no sound system could be started</source>
        <translation>das Audiosystem konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>the sound output could not be opened (no sound server or sound card)</source>
        <translation>die Audioausgabe konnte nicht geöffnet werden (kein Soundserver oder keine Soundkarte)</translation>
    </message>
    <message>
        <source>the file is missing or can&apos;t be read</source>
        <translation>die Datei fehlt oder ist nicht lesbar</translation>
    </message>
    <message>
        <source>the file is empty, damaged or in a format that can&apos;t be played</source>
        <translation>die Datei ist leer, beschädigt oder ihr Format wird nicht unterstützt</translation>
    </message>
    <message>
        <source>the audio layer reported error %1</source>
        <translation>die Audioschicht meldete Fehler %1</translation>
    </message>
</context>
<context>
    <name>cResultCheck</name>
    <message>
        <source>The result is much shorter than its source: %1 s of %2 s</source>
        <translation>Das Ergebnis ist viel kürzer als seine Quelle: %1 s von %2 s</translation>
    </message>
    <message>
        <source>The result is silent or nearly so</source>
        <translation>Das Ergebnis ist stumm oder fast stumm</translation>
    </message>
    <message>
        <source>The result is clipped: its loudest stretches are cut off</source>
        <translation>Das Ergebnis ist übersteuert: die lautesten Stellen sind abgeschnitten</translation>
    </message>
</context>
<context>
    <name>cRowActions</name>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Remove from list</source>
        <translation>Aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Open containing folder</source>
        <translation>Enthaltenden Ordner öffnen</translation>
    </message>
    <message>
        <source>Next failure</source>
        <translation>Nächster Fehler</translation>
    </message>
    <message>
        <source>Show only failed and warned</source>
        <translation>Nur fehlgeschlagene und gewarnte zeigen</translation>
    </message>
    <message>
        <source>Convert failed files again</source>
        <translation>Fehlgeschlagene erneut konvertieren</translation>
    </message>
    <message>
        <source>Add files…</source>
        <translation>Dateien hinzufügen…</translation>
    </message>
    <message>
        <source>Clear list</source>
        <translation>Liste leeren</translation>
    </message>
</context>
<context>
    <name>cSourceList</name>
    <message>
        <source>The folder can&apos;t be read</source>
        <translation>Der Ordner kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>The name of a folder on its path is not valid UTF-8: rename the folder</source>
        <translation>Der Name eines Ordners im Pfad ist kein gültiges UTF-8: Ordner umbenennen</translation>
    </message>
    <message>
        <source>The name is not valid UTF-8: rename the file</source>
        <translation>Der Name ist kein gültiges UTF-8: Datei umbenennen</translation>
    </message>
    <message>
        <source>No such file or folder</source>
        <translation>Datei oder Ordner nicht gefunden</translation>
    </message>
</context>
<context>
    <name>cStatusLine</name>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
</context>
<context>
    <name>cStatusMessage</name>
    <message numerus="yes">
        <source>%1, %n named path(s) not found</source>
        <translation>
            <numerusform>%1, %n angegebener Pfad nicht gefunden</numerusform>
            <numerusform>%1, %n angegebene Pfade nicht gefunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %n could not be read (see the log)</source>
        <translation>
            <numerusform>%1, %n nicht lesbar (siehe Protokoll)</numerusform>
            <numerusform>%1, %n nicht lesbar (siehe Protokoll)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) listed</source>
        <translation>
            <numerusform>%n Datei aufgelistet</numerusform>
            <numerusform>%n Dateien aufgelistet</numerusform>
        </translation>
    </message>
    <message>
        <source>No sound files found</source>
        <translation>Keine Audiodateien gefunden</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) added</source>
        <translation>
            <numerusform>%n Datei hinzugefügt</numerusform>
            <numerusform>%n Dateien hinzugefügt</numerusform>
        </translation>
    </message>
    <message>
        <source>No files added</source>
        <translation>Keine Dateien hinzugefügt</translation>
    </message>
    <message numerus="yes">
        <source>%1, %n already listed</source>
        <translation>
            <numerusform>%1, %n bereits in der Liste</numerusform>
            <numerusform>%1, %n bereits in der Liste</numerusform>
        </translation>
    </message>
    <message>
        <source>%1; %2 is not a sound file</source>
        <translation>%1; %2 ist keine Audiodatei</translation>
    </message>
    <message numerus="yes">
        <source>%1; %n file(s) left out: not sound files</source>
        <translation>
            <numerusform>%1; %n Datei ausgelassen: keine Audiodatei</numerusform>
            <numerusform>%1; %n Dateien ausgelassen: keine Audiodateien</numerusform>
        </translation>
    </message>
    <message>
        <source>Listing cancelled: the list is as it was</source>
        <translation>Auflisten abgebrochen: die Liste ist unverändert</translation>
    </message>
    <message>
        <source>Nothing to convert: select files or drop them here first</source>
        <translation>Nichts zu konvertieren: zuerst Dateien auswählen oder hierher ziehen</translation>
    </message>
    <message>
        <source>The output folder %1 could not be created</source>
        <translation>Der Ausgabeordner %1 konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>Could not play, %1: %2</source>
        <translation>Abspielen nicht möglich, %1: %2</translation>
    </message>
    <message>
        <source>Playing %1</source>
        <translation>Wiedergabe: %1</translation>
    </message>
    <message>
        <source>%1 converted with a warning: %2</source>
        <translation>%1 umgewandelt, mit Warnung: %2</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 fehlgeschlagen: %2</translation>
    </message>
</context>
<context>
    <name>cTarget</name>
    <message>
        <source>Any system</source>
        <translation>Jedes System</translation>
    </message>
    <message>
        <source>the format chosen, named as always</source>
        <translation>das gewählte Format, benannt wie bisher</translation>
    </message>
    <message>
        <source>Asterisk</source>
        <translation>Asterisk</translation>
    </message>
    <message>
        <source>Asterisk and the PBXs built on it: each prompt in several codecs side by side</source>
        <translation>Asterisk und darauf aufbauende Telefonanlagen: jede Ansage in mehreren Codecs nebeneinander</translation>
    </message>
    <message>
        <source>FreeSWITCH</source>
        <translation>FreeSWITCH</translation>
    </message>
    <message>
        <source>FreeSWITCH: 16-bit WAV in a folder per rate</source>
        <translation>FreeSWITCH: 16-Bit-WAV, ein Ordner je Abtastrate</translation>
    </message>
    <message>
        <source>Cisco Unified CM music on hold</source>
        <translation>Cisco Unified CM, Wartemusik</translation>
    </message>
    <message>
        <source>music on hold in Cisco Unified CM</source>
        <translation>Wartemusik in Cisco Unified CM</translation>
    </message>
    <message>
        <source>Cisco UCCX and Unity Connection</source>
        <translation>Cisco UCCX und Unity Connection</translation>
    </message>
    <message>
        <source>Cisco contact-centre and voice-mail prompts</source>
        <translation>Ansagen für Contact-Center und Voicemail von Cisco</translation>
    </message>
    <message>
        <source>Avaya Aura</source>
        <translation>Avaya Aura</translation>
    </message>
    <message>
        <source>Avaya Aura announcements</source>
        <translation>Ansagen für Avaya Aura</translation>
    </message>
    <message>
        <source>Amazon Connect</source>
        <translation>Amazon Connect</translation>
    </message>
    <message>
        <source>Amazon Connect prompts</source>
        <translation>Ansagen für Amazon Connect</translation>
    </message>
    <message>
        <source>Genesys Cloud</source>
        <translation>Genesys Cloud</translation>
    </message>
    <message>
        <source>Genesys Cloud prompts</source>
        <translation>Ansagen für Genesys Cloud</translation>
    </message>
    <message>
        <source>Microsoft Teams</source>
        <translation>Microsoft Teams</translation>
    </message>
    <message>
        <source>Microsoft Teams auto attendants and call queues</source>
        <translation>automatische Telefonzentralen und Anrufwarteschlangen in Microsoft Teams</translation>
    </message>
    <message>
        <source>3CX</source>
        <translation>3CX</translation>
    </message>
    <message>
        <source>3CX prompts and music on hold</source>
        <translation>Ansagen und Wartemusik für 3CX</translation>
    </message>
    <message>
        <source>Longer than %1 takes: %2, at most %3</source>
        <translation>Länger, als %1 annimmt: %2, höchstens %3</translation>
    </message>
    <message>
        <source>Larger than %1 takes: %2 MB, at most %3 MB</source>
        <translation>Größer, als %1 annimmt: %2 MB, höchstens %3 MB</translation>
    </message>
    <message>
        <source>Not a WAV file: its header is missing or damaged</source>
        <translation>Keine WAV-Datei: der Header fehlt oder ist beschädigt</translation>
    </message>
    <message>
        <source>Coded as %1, but Asterisk plays a .%2 file only as 16-bit PCM</source>
        <translation>Als %1 codiert, Asterisk spielt eine .%2-Datei aber nur als 16-Bit-PCM ab</translation>
    </message>
    <message>
        <source>Coded as %1, not %2 as its format says</source>
        <translation>Als %1 codiert, nicht als %2, wie sein Format es verlangt</translation>
    </message>
    <message>
        <source>Holds %1-bit samples, not %2-bit ones</source>
        <translation>Enthält %1-Bit-Samples statt %2-Bit-Samples</translation>
    </message>
    <message>
        <source>Not mono: it has %1 channels</source>
        <translation>Nicht mono: %1 Kanäle</translation>
    </message>
    <message>
        <source>Sampled at %1 Hz, but Asterisk plays a .%2 file only at %3 Hz</source>
        <translation>Mit %1 Hz abgetastet, Asterisk spielt eine .%2-Datei aber nur mit %3 Hz ab</translation>
    </message>
    <message>
        <source>Sampled at %1 Hz, not %2 Hz as its format says</source>
        <translation>Mit %1 Hz abgetastet, nicht mit %2 Hz, wie sein Format es verlangt</translation>
    </message>
    <message>
        <source>Unfinished: its data size was never filled in</source>
        <translation>Unfertig: die Datengröße im Header wurde nie eingetragen</translation>
    </message>
    <message>
        <source>Cut short: its header promises %1 bytes of sound, the file holds %2</source>
        <translation>Abgeschnitten: der Header verspricht %1 Bytes Ton, die Datei enthält %2</translation>
    </message>
    <message>
        <source>The file holds no sound</source>
        <translation>Die Datei enthält keinen Ton</translation>
    </message>
    <message>
        <source>Cut short: %1 bytes of sound are not a whole number of %2-byte frames</source>
        <translation>Abgeschnitten: %1 Bytes Ton sind keine ganze Zahl von %2-Byte-Frames</translation>
    </message>
</context>
</TS>
