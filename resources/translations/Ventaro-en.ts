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
<context>
    <name>AnalogSettingsWidget</name>
    <message>
        <source>Bereich</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>Raster</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>auto</source>
        <translation>auto</translation>
    </message>
    <message>
        <source>Korrektur dy</source>
        <translation>Correction dy</translation>
    </message>
</context>
<context>
    <name>SensorGroupWidget</name>
    <message>
        <source>Gruppe: </source>
        <translation>Group: </translation>
    </message>
</context>
<context>
    <name>SensorTreeWidget</name>
    <message>
        <source>Gruppe/Sensor</source>
        <translation>Group/Sensor</translation>
    </message>
    <message>
        <source>Typ</source>
        <translation>Type</translation>
    </message>
</context>
<context>
    <name>TabSensors</name>
    <message>
        <source>Anzeige</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Linear</source>
        <translation>Linear</translation>
    </message>
    <message>
        <source>Rund</source>
        <translation>Round</translation>
    </message>
</context>
</TS>
