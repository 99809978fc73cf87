<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>cBatchProgress</name>
    <message numerus="yes">
        <source>Converting: %1 of %2 done, %n failed, %3 elapsed</source>
        <translation>
            <numerusform>Converting: %1 of %2 done, %n failed, %3 elapsed</numerusform>
            <numerusform>Converting: %1 of %2 done, %n failed, %3 elapsed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s): </source>
        <translation>
            <numerusform>%n file: </numerusform>
            <numerusform>%n files: </numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 converted, %n failed, in %2</source>
        <translation>
            <numerusform>%1 converted, %n failed, in %2</numerusform>
            <numerusform>%1 converted, %n failed, in %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Stopped: %1 of %2 done, %n failed, in %3</source>
        <translation>
            <numerusform>Stopped: %1 of %2 done, %n failed, in %3</numerusform>
            <numerusform>Stopped: %1 of %2 done, %n failed, in %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n skipped</source>
        <translation>
            <numerusform>, %n skipped</numerusform>
            <numerusform>, %n skipped</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n with a warning</source>
        <translation>
            <numerusform>, %n with a warning</numerusform>
            <numerusform>, %n with warnings</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Converting: %1 of %2 done, %n failed%3, %4 elapsed</source>
        <translation>
            <numerusform>Converting: %1 of %2 done, %n failed%3, %4 elapsed</numerusform>
            <numerusform>Converting: %1 of %2 done, %n failed%3, %4 elapsed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 converted, %n failed%2, in %3</source>
        <translation>
            <numerusform>%1 converted, %n failed%2, in %3</numerusform>
            <numerusform>%1 converted, %n failed%2, in %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Stopped: %1 of %2 done, %n failed%3, in %4</source>
        <translation>
            <numerusform>Stopped: %1 of %2 done, %n failed%3, in %4</numerusform>
            <numerusform>Stopped: %1 of %2 done, %n failed%3, in %4</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>cMainWidget</name>
    <message numerus="yes">
        <source>Listing: %n sound file(s) found</source>
        <translation>
            <numerusform>Listing: %n sound file found</numerusform>
            <numerusform>Listing: %n sound files found</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>cStatusMessage</name>
    <message numerus="yes">
        <source>%1, %n named path(s) not found</source>
        <translation>
            <numerusform>%1, %n named path not found</numerusform>
            <numerusform>%1, %n named paths not found</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %n could not be read (see the log)</source>
        <translation>
            <numerusform>%1, %n could not be read (see the log)</numerusform>
            <numerusform>%1, %n could not be read (see the log)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) listed</source>
        <translation>
            <numerusform>%n file listed</numerusform>
            <numerusform>%n files listed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) added</source>
        <translation>
            <numerusform>%n file added</numerusform>
            <numerusform>%n files added</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %n already listed</source>
        <translation>
            <numerusform>%1, %n already listed</numerusform>
            <numerusform>%1, %n already listed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; %n file(s) left out: not sound files</source>
        <translation>
            <numerusform>%1; %n file left out: not a sound file</numerusform>
            <numerusform>%1; %n files left out: not sound files</numerusform>
        </translation>
    </message>
</context>
</TS>
