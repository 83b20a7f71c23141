<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="de_DE">
<context>
    <name>Model</name>
    <message>
        <source>WZ schließen</source>
        <translation>Close tool</translation>
    </message>
    <message>
        <source>Einspritzzeit</source>
        <translation>Injection time</translation>
    </message>
    <message>
        <source>Nachdruckzeit</source>
        <translation>Holding pressure time</translation>
    </message>
    <message>
        <source>Kühlzeit</source>
        <translation>Cooling time</translation>
    </message>
    <message>
        <source>WZ öffnen</source>
        <translation>Open tool</translation>
    </message>
</context>
</TS>
