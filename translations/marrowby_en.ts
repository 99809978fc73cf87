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
</context>
<context>
    <name>cMainWidget</name>
    <message numerus="yes">
        <source>%n file(s) listed</source>
        <translation>
            <numerusform>%n file listed</numerusform>
            <numerusform>%n files listed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %n named path(s) not found</source>
        <translation>
            <numerusform>%1, %n named path not found</numerusform>
            <numerusform>%1, %n named paths not found</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Listing: %n sound file(s) found</source>
        <translation>
            <numerusform>Listing: %n sound file found</numerusform>
            <numerusform>Listing: %n sound files found</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %n could not be read (see the log)</source>
        <translation>
            <numerusform>%1, %n could not be read (see the log)</numerusform>
            <numerusform>%1, %n could not be read (see the log)</numerusform>
        </translation>
    </message>
</context>
</TS>
