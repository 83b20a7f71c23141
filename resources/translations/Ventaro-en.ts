<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <source>Update Firmware...</source>
        <translation>Update Firmware...</translation>
    </message>
    <message>
        <source>Über %1</source>
        <translation>About %1</translation>
    </message>
    <message>
        <source>unbekannt</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>Kalvik Hardware-Version: %1</source>
        <translation>Kalvik hardware version: %1</translation>
    </message>
    <message>
        <source>Kalvik Firmware-Version: %1</source>
        <translation>Kalvik firmware version: %1</translation>
    </message>
    <message>
        <source>%1 Messtechnik GmbH&lt;br&gt;Talstraße 14, 73430 Aalen, Deutschland&lt;br&gt;Telefon +49 7361 5560-0, service@dornhal.de</source>
        <translation>%1 Messtechnik GmbH&lt;br&gt;Talstraße 14, 73430 Aalen, Germany&lt;br&gt;Phone +49 7361 5560-0, service@dornhal.de</translation>
    </message>
    <message>
        <source>Entwickelt von %1. Diese Software verwendet Qt 5 unter der LGPL v3 und die Schrift Roboto unter der Apache-Lizenz 2.0.</source>
        <translation>Developed by %1. This software uses Qt 5 under the LGPL v3 and the Roboto font under the Apache License 2.0.</translation>
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
    <name>BlackBoxDatesTableModel</name>
    <message>
        <source>Fehler</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Datum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Anzahl Messungen</source>
        <translation>Number of shots</translation>
    </message>
</context>
<context>
    <name>BlackBoxFilesTableModel</name>
    <message>
        <source>Fehler</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Datum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Uhrzeit</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Datei</source>
        <translation>File</translation>
    </message>
    <message>
        <source>DL</source>
        <translation>DL</translation>
    </message>
</context>
<context>
    <name>Controller</name>
    <message>
        <source>Default Text...</source>
        <translation>Default Text...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Loading...</translation>
    </message>
    <message>
        <source>Saving...</source>
        <translation>Saving...</translation>
    </message>
    <message>
        <source>Exporting...</source>
        <translation>Exporting...</translation>
    </message>
    <message>
        <source>Der Zwischenordner für BlackBox-Dateien kann nicht sicher verwendet werden:&lt;br&gt;%1&lt;br&gt;&lt;br&gt;Er ist ein symbolischer Link oder gehört nicht diesem Benutzer. Bitte entfernen Sie ihn oder lassen Sie ihn vom Administrator entfernen.</source>
        <translation>The staging folder for BlackBox files cannot be used safely:&lt;br&gt;%1&lt;br&gt;&lt;br&gt;It is a symbolic link or belongs to another user. Please remove it or have the administrator remove it.</translation>
    </message>
    <message>
        <source>Daten-Verzeichnis wählen</source>
        <translation>Choose data folder</translation>
    </message>
    <message>
        <source>Dateien kopieren...</source>
        <translation>Copying files...</translation>
    </message>
    <message>
        <source>BlackBox</source>
        <translation>BlackBox</translation>
    </message>
    <message>
        <source>Der gewählte Ordner enthält keine BlackBox-Messungen.&lt;br&gt;&lt;br&gt;Bitte einen Tagesordner (&quot;dir-&quot; und das Datum) oder den Ordner &quot;data&quot; des USB-Sticks wählen.</source>
        <translation>The chosen folder holds no BlackBox shots.&lt;br&gt;&lt;br&gt;Please choose a day folder (&quot;dir-&quot; and the date) or the folder &quot;data&quot; of the USB stick.</translation>
    </message>
    <message>
        <source>Im gewählten Ordner wurden keine BlackBox-Dateien (*.bb) gefunden:&lt;br&gt;%1</source>
        <translation>No BlackBox files (*.bb) found in the chosen folder:&lt;br&gt;%1</translation>
    </message>
    <message>
        <source>Dateien übertragen...</source>
        <translation>Transferring files...</translation>
    </message>
    <message>
        <source>Messungen importieren...</source>
        <translation>Importing shots...</translation>
    </message>
    <message>
        <source>Nicht lesbar:</source>
        <translation>Not readable:</translation>
    </message>
    <message>
        <source>Keine BlackBox-Datei:</source>
        <translation>Not a BlackBox file:</translation>
    </message>
    <message>
        <source>Ungültiger Dateiname:</source>
        <translation>Invalid file name:</translation>
    </message>
    <message numerus="yes">
        <source>%n Datei(en) wurden nicht importiert.</source>
        <translation>
            <numerusform>%n file was not imported.</numerusform>
            <numerusform>%n files were not imported.</numerusform>
        </translation>
    </message>
    <message>
        <source>Verbinden ...</source>
        <translation>Connecting ...</translation>
    </message>
    <message>
        <source>Projektbeschreibung empfangen</source>
        <translation>Project description received</translation>
    </message>
    <message>
        <source>Soll die aktuelle Projektbeschreibung durch die empfangenen Daten überschrieben werden?</source>
        <translation>Replace the current project description with the received data?</translation>
    </message>
    <message>
        <source>Kalibrierung</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>Die Sensoren werden kalibriert.</source>
        <translation>The sensors are being calibrated.</translation>
    </message>
    <message>
        <source>Die Kalvik Hardware ist nicht mehr erreichbar.</source>
        <translation>The Kalvik hardware can no longer be reached.</translation>
    </message>
    <message>
        <source>Die Kalvik Hardware wurde nicht gefunden! Bitte IP-Adresse überprüfen!</source>
        <translation>The Kalvik hardware was not found! Please check the IP address!</translation>
    </message>
    <message>
        <source>Die Verbindung wurde abgelehnt!
(Die IP-Adresse wurde jedoch gefunden.)</source>
        <translation>The connection was refused!
(The IP address was found, though.)</translation>
    </message>
    <message>
        <source>Netzwerk Fehler</source>
        <translation>Network error</translation>
    </message>
    <message>
        <source>Verbinden mit </source>
        <translation>Connecting to </translation>
    </message>
    <message>
        <source>Ventaro Dateien (*.mvx)</source>
        <translation>Ventaro files (*.mvx)</translation>
    </message>
    <message>
        <source>Projekt öffnen</source>
        <translation>Open project</translation>
    </message>
    <message>
        <source>Cannot open file %1 !.</source>
        <translation>Cannot open file %1 !.</translation>
    </message>
    <message>
        <source>Projekt speichern</source>
        <translation>Save project</translation>
    </message>
    <message>
        <source>Das Projekt konnte nicht gespeichert werden!</source>
        <translation>The project could not be saved!</translation>
    </message>
    <message>
        <source>Achtung: Alle Messdaten werden gelöscht!</source>
        <translation>Caution: all shot data will be deleted!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Daten löschen</source>
        <translation>Delete data</translation>
    </message>
    <message>
        <source>Folgende Datensätze werden gelöscht:
</source>
        <translation>These shots will be deleted:
</translation>
    </message>
    <message>
        <source>Keine der angegebenen Messungen ist vorhanden:
</source>
        <translation>None of the given shots exists:
</translation>
    </message>
    <message>
        <source>Die BlackBox-Dateien werden noch übertragen.&lt;br&gt;&lt;br&gt;Übertragung abbrechen?</source>
        <translation>The black-box files are still being transferred.&lt;br&gt;&lt;br&gt;Stop the transfer?</translation>
    </message>
    <message>
        <source>Andere Abtastrate als das Projekt (%1 ms):</source>
        <translation>Sample period differs from the project (%1 ms):</translation>
    </message>
    <message>
        <source>Keine Referenz eingelernt</source>
        <translation>No reference taught</translation>
    </message>
    <message>
        <source>Referenz aus Messungen %1: %2 OK, %3 NOK</source>
        <translation>Reference from shots %1: %2 OK, %3 NOK</translation>
    </message>
    <message>
        <source>Letzte Messung: OK</source>
        <translation>Last shot: OK</translation>
    </message>
    <message>
        <source>Referenz einlernen</source>
        <translation>Teach reference</translation>
    </message>
    <message>
        <source>„%1“ ist keine Liste von Messungen wie „1-50“ oder „1-20,25“.</source>
        <translation>&quot;%1&quot; is no list of shots such as &quot;1-50&quot; or &quot;1-20,25&quot;.</translation>
    </message>
    <message>
        <source>Es ist noch keine Referenz eingelernt.</source>
        <translation>No reference has been taught yet.</translation>
    </message>
    <message>
        <source>Die gespeicherte Referenz ist unbrauchbar. Bitte neu einlernen.</source>
        <translation>The stored reference cannot be used. Please teach it again.</translation>
    </message>
    <message>
        <source>Journal</source>
        <translation>Journal</translation>
    </message>
    <message>
        <source>Das Journal der Messungen kann nicht geöffnet werden; Messungen sind bis zum Speichern nur im Speicher.
</source>
        <translation>The journal of the shots cannot be opened; shots are only in memory until they are saved.
</translation>
    </message>
    <message>
        <source>Archiv: verbinden...</source>
        <translation>Archive: connecting...</translation>
    </message>
    <message>
        <source>Archiv: verbunden</source>
        <translation>Archive: connected</translation>
    </message>
    <message>
        <source>Archiv: %1 Messungen warten</source>
        <translation>Archive: %1 shots waiting</translation>
    </message>
    <message>
        <source>Archiv nicht erreichbar: %1 Messungen warten</source>
        <translation>Archive not reachable: %1 shots waiting</translation>
    </message>
    <message>
        <source>ohne Namen</source>
        <translation>without a name</translation>
    </message>
    <message>
        <source>Messungen wiederherstellen</source>
        <translation>Restore shots</translation>
    </message>
    <message>
        <source>Im Journal liegen %1 nicht gespeicherte Messungen aus dem Projekt „%2“, aufgenommen von %3 bis %4. Ventaro wurde beendet, bevor sie gespeichert oder verworfen waren.

Wiederherstellen?</source>
        <translation>The journal holds %1 unsaved shots of the project &quot;%2&quot;, recorded from %3 to %4. Ventaro ended before they were saved or discarded.

Restore them?</translation>
    </message>
    <message>
        <source>In dieses Projekt</source>
        <translation>Into this project</translation>
    </message>
    <message>
        <source>In ein neues Projekt</source>
        <translation>Into a new project</translation>
    </message>
    <message>
        <source>Später</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>Bericht wird erstellt...</source>
        <translation>Writing the report...</translation>
    </message>
    <message>
        <source>Die Sensoren werden auf dem Gerät auf null gesetzt. Jetzt kalibrieren?</source>
        <translation>The sensors will be zeroed on the device. Calibrate now?</translation>
    </message>
    <message>
        <source>Projekt nicht gefunden</source>
        <translation>Project not found</translation>
    </message>
    <message>
        <source>Die Datei %1 gibt es nicht mehr: verschoben, umbenannt, gelöscht oder auf einem Laufwerk, das nicht angeschlossen ist. Sie wird aus der Liste genommen.</source>
        <translation>The file %1 no longer exists: moved, renamed, deleted or on a drive that is not connected. It is taken off the list.</translation>
    </message>
    <message>
        <source>Löschen rückgängig</source>
        <translation>Undo deletion</translation>
    </message>
    <message>
        <source>Während einer Aufnahme werden keine Messungen zurückgeholt.</source>
        <translation>Deleted shots cannot be brought back during a recording.</translation>
    </message>
    <message>
        <source>Lücken füllen</source>
        <translation>Fill gaps</translation>
    </message>
    <message>
        <source>Es gibt keine offenen Lücken.</source>
        <translation>There are no open gaps.</translation>
    </message>
    <message>
        <source>Die Lücken werden aus der Black Box des Geräts gefüllt: bitte zuerst verbinden.</source>
        <translation>The gaps are filled from the device&apos;s black box: please connect first.</translation>
    </message>
    <message>
        <source>Die Black Box des Geräts enthält keinen Tag der Lücken.</source>
        <translation>The device&apos;s black box holds no day of the gaps.</translation>
    </message>
    <message>
        <source>Keine Messung des Projekts ist in der Black Box zu finden; ohne sie lassen sich die Uhren nicht abgleichen, und es wird nichts ergänzt.</source>
        <translation>No shot of the project is in the black box; without one the clocks cannot be matched, and nothing is added.</translation>
    </message>
</context>
<context>
    <name>CursorMath</name>
    <message>
        <source>Wert bei A</source>
        <translation>Value at A</translation>
    </message>
    <message>
        <source>Wert bei B</source>
        <translation>Value at B</translation>
    </message>
    <message>
        <source>B − A</source>
        <translation>B − A</translation>
    </message>
    <message>
        <source>Maximum zwischen A und B</source>
        <translation>Maximum between A and B</translation>
    </message>
    <message>
        <source>Minimum zwischen A und B</source>
        <translation>Minimum between A and B</translation>
    </message>
    <message>
        <source>Mittelwert zwischen A und B</source>
        <translation>Mean between A and B</translation>
    </message>
    <message>
        <source>Fläche zwischen A und B</source>
        <translation>Area between A and B</translation>
    </message>
    <message>
        <source>Mittlere Steigung zwischen A und B</source>
        <translation>Mean slope between A and B</translation>
    </message>
</context>
<context>
    <name>CursorTableModel</name>
    <message>
        <source>Mittelwert</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>Standardabweichung</source>
        <translation>Standard deviation</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Schuss</source>
        <translation>Shot</translation>
    </message>
</context>
<context>
    <name>CursorTableWindow</name>
    <message>
        <source>Sensor %1</source>
        <translation>Sensor %1</translation>
    </message>
    <message>
        <source>Sensor %1: %2</source>
        <translation>Sensor %1: %2</translation>
    </message>
    <message>
        <source>Cursor-Tabelle</source>
        <translation>Cursor table</translation>
    </message>
    <message>
        <source>Sensor:</source>
        <translation>Sensor:</translation>
    </message>
    <message>
        <source>Größe:</source>
        <translation>Quantity:</translation>
    </message>
    <message>
        <source>Die Cursor A/B sind ausgeschaltet: auf der Oszilloskop-Seite einschalten.</source>
        <translation>Cursors A/B are switched off: switch them on on the oscilloscope page.</translation>
    </message>
    <message>
        <source>Kopieren</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>CSV exportieren...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>CSV exportieren</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>CSV - Comma separated values</source>
        <translation>CSV - Comma separated values</translation>
    </message>
    <message>
        <source>Speichern fehlgeschlagen</source>
        <translation>Saving failed</translation>
    </message>
    <message>
        <source>Die Cursor-Tabelle konnte nicht in die Datei %1 gespeichert werden.</source>
        <translation>The cursor table could not be saved to the file %1.</translation>
    </message>
</context>
<context>
    <name>GapBar</name>
    <message>
        <source>Lücken füllen</source>
        <translation>Fill gaps</translation>
    </message>
    <message>
        <source>nach Wiederverbinden automatisch</source>
        <translation>automatically after reconnecting</translation>
    </message>
    <message>
        <source>Lücken in der Aufnahme: %1, davon %2 nicht gefüllt</source>
        <translation>Gaps in the recording: %1, %2 of them not filled</translation>
    </message>
    <message>
        <source>Lücken in der Aufnahme: %1, alle gefüllt</source>
        <translation>Gaps in the recording: %1, all filled</translation>
    </message>
</context>
<context>
    <name>GapText</name>
    <message>
        <source>Verbindung unterbrochen seit %1</source>
        <translation>Link down since %1</translation>
    </message>
    <message>
        <source>Lücke %1: Messungen des Geräts unbekannt</source>
        <translation>Gap %1: shots of the device unknown</translation>
    </message>
    <message>
        <source>Lücke %1: %2 Messungen des Geräts, %3 im Projekt</source>
        <translation>Gap %1: %2 shots of the device, %3 in the project</translation>
    </message>
    <message>
        <source>Lücken davor und danach</source>
        <translation>Gaps before and after</translation>
    </message>
    <message>
        <source>Lücke davor</source>
        <translation>Gap before</translation>
    </message>
    <message>
        <source>Lücke danach</source>
        <translation>Gap after</translation>
    </message>
</context>
<context>
    <name>IPAddressDialog</name>
    <message>
        <source>&lt;b&gt;Verbindung abgebrochen&lt;/b&gt;</source>
        <translation>&lt;b&gt;Connection lost&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Unter anderer IP-Adresse verbinden:</source>
        <translation>Connect to another IP address:</translation>
    </message>
    <message>
        <source>IP Adresse:</source>
        <translation>IP address:</translation>
    </message>
    <message>
        <source>Bitte eine IPv4-Adresse (z. B. 192.168.1.20) oder einen Rechnernamen eingeben.</source>
        <translation>Please enter an IPv4 address (e.g. 192.168.1.20) or a host name.</translation>
    </message>
</context>
<context>
    <name>ImageBox</name>
    <message>
        <source>Bild löschen...</source>
        <translation>Delete picture...</translation>
    </message>
    <message>
        <source>Schließen</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Bild löschen</source>
        <translation>Delete picture</translation>
    </message>
    <message>
        <source>Das Bild wird gelöscht!</source>
        <translation>The picture will be deleted!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>IntegrationDialog</name>
    <message>
        <source>&lt;b&gt;Integration!&lt;/b&gt;</source>
        <translation>&lt;b&gt;Integration!&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Neue Messungen werden in die bestehenden Daten integriert!</source>
        <translation>New shots are added to the existing data!</translation>
    </message>
</context>
<context>
    <name>Model</name>
    <message>
        <source>WZ schließen</source>
        <translation>Close mould</translation>
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
        <translation>Open mould</translation>
    </message>
</context>
<context>
    <name>MultiLanguageUtils</name>
    <message>
        <source>Sprache</source>
        <translation>Language</translation>
    </message>
</context>
<context>
    <name>ReferenceBand</name>
    <message>
        <source>Zum Einlernen sind mindestens %1 Schüsse nötig, gewählt sind %2.</source>
        <translation>Teaching needs at least %1 shots; %2 are chosen.</translation>
    </message>
    <message>
        <source>Die gewählten Schüsse sind zu verschieden lang (Sensor %1: %2 bis %3 ms), um sie zu einer Referenz zusammenzufassen.</source>
        <translation>The chosen shots differ too much in length (sensor %1: %2 to %3 ms) to be combined into a reference.</translation>
    </message>
</context>
<context>
    <name>ReferenceDialog</name>
    <message>
        <source>Referenz-Einstellungen</source>
        <translation>Reference settings</translation>
    </message>
    <message>
        <source>Eingelernt aus den Messungen %1</source>
        <translation>Taught from shots %1</translation>
    </message>
    <message>
        <source>Band erweitern</source>
        <translation>Widen the band</translation>
    </message>
    <message>
        <source>Sensor %1%2:</source>
        <translation>Sensor %1%2:</translation>
    </message>
    <message>
        <source>Zeit früher oder später:</source>
        <translation>Time earlier or later:</translation>
    </message>
    <message>
        <source>Mindestdauer außerhalb:</source>
        <translation>Minimum time outside:</translation>
    </message>
    <message>
        <source>Überwachter Teil der Messung</source>
        <translation>Monitored part of the shot</translation>
    </message>
    <message>
        <source>ganze Messung</source>
        <translation>whole shot</translation>
    </message>
    <message>
        <source>zwischen Markern</source>
        <translation>between markers</translation>
    </message>
    <message>
        <source>Marker %1</source>
        <translation>Marker %1</translation>
    </message>
    <message>
        <source>bis</source>
        <translation>to</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Referenz löschen</source>
        <translation>Delete reference</translation>
    </message>
</context>
<context>
    <name>ReportContent</name>
    <message>
        <source>Die gespeicherte Referenz ist unbrauchbar.</source>
        <translation>The stored reference cannot be used.</translation>
    </message>
    <message>
        <source>Die Referenz wurde bei %1 ms je Messwert eingelernt, die Messungen haben %2 ms.</source>
        <translation>The reference was taught at %1 ms per sample, the shots have %2 ms.</translation>
    </message>
</context>
<context>
    <name>ReportWriter</name>
    <message>
        <source>Sensor %1</source>
        <translation>Sensor %1</translation>
    </message>
    <message>
        <source>Seite %1 von %2</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>Prüfbericht: %1</source>
        <translation>Inspection report: %1</translation>
    </message>
    <message>
        <source>1 Projekt</source>
        <translation>1 Project</translation>
    </message>
    <message>
        <source>Projektname</source>
        <translation>Project name</translation>
    </message>
    <message>
        <source>Projektnummer</source>
        <translation>Project number</translation>
    </message>
    <message>
        <source>Kunde</source>
        <translation>Customer</translation>
    </message>
    <message>
        <source>Bearbeiter</source>
        <translation>Person in charge</translation>
    </message>
    <message>
        <source>Datum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Projektdatei</source>
        <translation>Project file</translation>
    </message>
    <message>
        <source>noch nicht gespeichert</source>
        <translation>not saved yet</translation>
    </message>
    <message>
        <source>Schließkraft</source>
        <translation>Clamping force</translation>
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
        <source>Einspritzdruck</source>
        <translation>Injection pressure</translation>
    </message>
    <message>
        <source>Kommentar</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>Gerätetyp</source>
        <translation>Device type</translation>
    </message>
    <message>
        <source>Hardware-Version</source>
        <translation>Hardware version</translation>
    </message>
    <message>
        <source>Software-Version</source>
        <translation>Software version</translation>
    </message>
    <message>
        <source>Firmware-Version</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>Abtastzeit</source>
        <translation>Sample period</translation>
    </message>
    <message>
        <source>unbekannt</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>Anzahl Messungen</source>
        <translation>Number of shots</translation>
    </message>
    <message>
        <source>Erste Messung</source>
        <translation>First shot</translation>
    </message>
    <message>
        <source>Letzte Messung</source>
        <translation>Last shot</translation>
    </message>
    <message>
        <source>Das Projekt enthält keine Messungen.</source>
        <translation>The project holds no shots.</translation>
    </message>
    <message>
        <source>Die Messungen tragen keine Zeitstempel.</source>
        <translation>The shots carry no timestamps.</translation>
    </message>
    <message>
        <source>%1 Messungen tragen keinen Zeitstempel.</source>
        <translation>%1 shots carry no timestamp.</translation>
    </message>
    <message>
        <source>Sensoren</source>
        <translation>Sensors</translation>
    </message>
    <message>
        <source>Nr.</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Typ</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Einheit</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>Bereich</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>Offset</source>
        <translation>Offset</translation>
    </message>
    <message>
        <source>Messungen</source>
        <translation>Shots</translation>
    </message>
    <message>
        <source>Ohne Messungen: Sensor %1.</source>
        <translation>Without shots: sensor %1.</translation>
    </message>
    <message>
        <source>Marker und Phasen</source>
        <translation>Markers and phases</translation>
    </message>
    <message>
        <source>Marker %1</source>
        <translation>Marker %1</translation>
    </message>
    <message>
        <source>Phase %1</source>
        <translation>Phase %1</translation>
    </message>
    <message>
        <source>2 Einstellungen</source>
        <translation>2 Settings</translation>
    </message>
    <message>
        <source>Auswertung</source>
        <translation>Evaluation</translation>
    </message>
    <message>
        <source>Maxima zwischen den Markern</source>
        <translation>Maxima between the markers</translation>
    </message>
    <message>
        <source>Laufzeit: Sensor</source>
        <translation>Runtime: sensor</translation>
    </message>
    <message>
        <source>Laufzeit: Startwert</source>
        <translation>Runtime: start value</translation>
    </message>
    <message>
        <source>Laufzeit: Stoppwert</source>
        <translation>Runtime: stop value</translation>
    </message>
    <message>
        <source>Referenz</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>Es ist keine Referenz eingelernt.</source>
        <translation>No reference is taught.</translation>
    </message>
    <message>
        <source>Sensor %1: %2 %3</source>
        <translation>Sensor %1: %2 %3</translation>
    </message>
    <message>
        <source>ganze Messung</source>
        <translation>whole shot</translation>
    </message>
    <message>
        <source>zwischen Marker %1 und Marker %2</source>
        <translation>between marker %1 and marker %2</translation>
    </message>
    <message>
        <source>Eingelernt aus</source>
        <translation>Taught from</translation>
    </message>
    <message>
        <source>%1 Messungen (%2)</source>
        <translation>%1 shots (%2)</translation>
    </message>
    <message>
        <source>Abtastzeit der Referenz</source>
        <translation>Sample period of the reference</translation>
    </message>
    <message>
        <source>Werttoleranz</source>
        <translation>Value tolerance</translation>
    </message>
    <message>
        <source>Zeittoleranz</source>
        <translation>Time tolerance</translation>
    </message>
    <message>
        <source>Mindestdauer außerhalb</source>
        <translation>Minimum time outside</translation>
    </message>
    <message>
        <source>Überwacht</source>
        <translation>Monitored</translation>
    </message>
    <message>
        <source>SPC</source>
        <translation>SPC</translation>
    </message>
    <message>
        <source>keine</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Wert</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Basis der Eingriffsgrenzen</source>
        <translation>Base of the control limits</translation>
    </message>
    <message>
        <source>alle Messungen</source>
        <translation>all shots</translation>
    </message>
    <message>
        <source>Regeln</source>
        <translation>Rules</translation>
    </message>
    <message>
        <source>Obere Toleranzgrenze (OSG)</source>
        <translation>Upper tolerance limit (USL)</translation>
    </message>
    <message>
        <source>Untere Toleranzgrenze (USG)</source>
        <translation>Lower tolerance limit (LSL)</translation>
    </message>
    <message>
        <source>3 Ergebnisse</source>
        <translation>3 Results</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>1. Quartil</source>
        <translation>1st quartile</translation>
    </message>
    <message>
        <source>Median</source>
        <translation>Median</translation>
    </message>
    <message>
        <source>3. Quartil</source>
        <translation>3rd quartile</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Anzahl</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation>Sensor</translation>
    </message>
    <message>
        <source>Laufzeiten von %1</source>
        <translation>Runtimes of %1</translation>
    </message>
    <message>
        <source>Start [s]</source>
        <translation>Start [s]</translation>
    </message>
    <message>
        <source>Dauer [s]</source>
        <translation>Duration [s]</translation>
    </message>
    <message>
        <source>Stop [s]</source>
        <translation>Stop [s]</translation>
    </message>
    <message>
        <source>Laufzeit</source>
        <translation>Runtime</translation>
    </message>
    <message>
        <source>Bewertung gegen die Referenz</source>
        <translation>Verdict against the reference</translation>
    </message>
    <message>
        <source>Ohne eingelernte Referenz gibt es keine Bewertung.</source>
        <translation>Without a taught reference there is no verdict.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>NOK</source>
        <translation>NOK</translation>
    </message>
    <message>
        <source>Messung</source>
        <translation>Shot</translation>
    </message>
    <message>
        <source>Zeit</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Erste Verletzung</source>
        <translation>First violation</translation>
    </message>
    <message>
        <source>… und %1 weitere; die vollständige Liste steht in %2.</source>
        <translation>… and %1 more; the full list is in %2.</translation>
    </message>
    <message>
        <source>Die Liste steht auch in %1.</source>
        <translation>The list is also in %1.</translation>
    </message>
    <message>
        <source>SPC: %1</source>
        <translation>SPC: %1</translation>
    </message>
    <message>
        <source>Ohne Bewertung gibt es keine Abweichungen.</source>
        <translation>Without a verdict there are no deviations.</translation>
    </message>
    <message>
        <source>Cursor-Werte gibt es nur, solange die Cursor im Oszilloskop gesetzt sind.</source>
        <translation>Cursor values exist only while the cursors are set in the oscilloscope.</translation>
    </message>
    <message>
        <source>Keine Werte.</source>
        <translation>No values.</translation>
    </message>
    <message>
        <source>Basis „%1“ ist kein Bereich; es gelten alle Messungen.</source>
        <translation>Base &quot;%1&quot; is no range; all shots count.</translation>
    </message>
    <message>
        <source>Einzelwerte</source>
        <translation>Individual values</translation>
    </message>
    <message>
        <source>n (Basis)</source>
        <translation>n (base)</translation>
    </message>
    <message>
        <source>Mittelwert</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>σ innerhalb</source>
        <translation>σ within</translation>
    </message>
    <message>
        <source>σ gesamt</source>
        <translation>σ overall</translation>
    </message>
    <message>
        <source>Obere Eingriffsgrenze (OEG)</source>
        <translation>Upper control limit (UCL)</translation>
    </message>
    <message>
        <source>Untere Eingriffsgrenze (UEG)</source>
        <translation>Lower control limit (LCL)</translation>
    </message>
    <message>
        <source>Messungen mit Regelverletzung</source>
        <translation>Shots breaking a rule</translation>
    </message>
    <message>
        <source>4 Bilder</source>
        <translation>4 Pictures</translation>
    </message>
    <message>
        <source>Überlagerung aller Messungen</source>
        <translation>Overlay of all shots</translation>
    </message>
    <message>
        <source>%1: %2 Messungen</source>
        <translation>%1: %2 shots</translation>
    </message>
    <message>
        <source>%1: %2 Messungen, NOK rot</source>
        <translation>%1: %2 shots, NOK red</translation>
    </message>
    <message>
        <source>Keine Messungen.</source>
        <translation>No shots.</translation>
    </message>
    <message>
        <source>Referenzband mit der schlechtesten Messung</source>
        <translation>Reference band with the worst shot</translation>
    </message>
    <message>
        <source>Keine Messung dieses Sensors.</source>
        <translation>No shot of this sensor.</translation>
    </message>
    <message>
        <source>Schlechteste Messung: Nr. %1, bis %2 %3 außerhalb des Bandes.</source>
        <translation>Worst shot: no. %1, up to %2 %3 outside the band.</translation>
    </message>
    <message>
        <source>Alle Messungen liegen im Band; der Grenze am nächsten: Nr. %1.</source>
        <translation>All shots lie in the band; nearest to its limits: no. %1.</translation>
    </message>
    <message>
        <source>%1 %2 · geschrieben %3</source>
        <translation>%1 %2 · written %3</translation>
    </message>
    <message>
        <source>%1 kann nicht geschrieben werden: %2</source>
        <translation>%1 cannot be written: %2</translation>
    </message>
    <message>
        <source>Prüfbericht %1</source>
        <translation>Inspection report %1</translation>
    </message>
    <message>
        <source>%1 kann nicht geschrieben werden.</source>
        <translation>%1 cannot be written.</translation>
    </message>
    <message>
        <source>Lücken in der Aufnahme</source>
        <translation>Gaps in the recording</translation>
    </message>
    <message>
        <source>offen</source>
        <translation>open</translation>
    </message>
    <message>
        <source>Von</source>
        <translation>From</translation>
    </message>
    <message>
        <source>Bis</source>
        <translation>To</translation>
    </message>
    <message>
        <source>Messungen des Geräts</source>
        <translation>Device&apos;s shots</translation>
    </message>
    <message>
        <source>im Projekt</source>
        <translation>In the project</translation>
    </message>
    <message>
        <source>%1 von %2 Lücken sind nicht gefüllt: dem Projekt können Messungen des Geräts fehlen.</source>
        <translation>%1 of %2 gaps are not filled: the project may lack shots of the device.</translation>
    </message>
    <message>
        <source>Alle Lücken sind gefüllt.</source>
        <translation>All gaps are filled.</translation>
    </message>
    <message>
        <source>Messungen aus der Black Box: %1.</source>
        <translation>Shots from the black box: %1.</translation>
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
    <name>ShotJournal</name>
    <message>
        <source>Der Ordner %1 ist nicht beschreibbar.</source>
        <translation>The folder %1 is not writable.</translation>
    </message>
</context>
<context>
    <name>Spc</name>
    <message>
        <source>Der Basisbereich enthält %1 Zahlen, es braucht mindestens 2.</source>
        <translation>The base range holds %1 numbers; at least 2 are needed.</translation>
    </message>
</context>
<context>
    <name>SpcValues</name>
    <message>
        <source>Maximum Sensor %1</source>
        <translation>Maximum sensor %1</translation>
    </message>
    <message>
        <source>Laufzeit: Start [s]</source>
        <translation>Runtime: start [s]</translation>
    </message>
    <message>
        <source>Laufzeit: Dauer [s]</source>
        <translation>Runtime: duration [s]</translation>
    </message>
    <message>
        <source>Laufzeit: Stop [s]</source>
        <translation>Runtime: stop [s]</translation>
    </message>
    <message>
        <source>Abweichung von der Referenz</source>
        <translation>Deviation from the reference</translation>
    </message>
    <message>
        <source>Cursor: %1, Sensor %2</source>
        <translation>Cursor: %1, sensor %2</translation>
    </message>
</context>
<context>
    <name>StartWidget</name>
    <message>
        <source>Visualisierung und Auswertung von hochgenauen&lt;br&gt;Messungen des Kalvik Messsystems.</source>
        <translation>Visualisation and evaluation of high-precision&lt;br&gt;measurements of the Kalvik measuring system.</translation>
    </message>
    <message>
        <source>Messung
durchführen</source>
        <translation>Record
shots</translation>
    </message>
    <message>
        <source>Projekt
öffnen</source>
        <translation>Open
project</translation>
    </message>
    <message>
        <source>BlackBox Daten
importieren</source>
        <translation>Import
BlackBox data</translation>
    </message>
    <message>
        <source>Willkommen bei </source>
        <translation>Welcome to </translation>
    </message>
    <message>
        <source>nicht gefunden</source>
        <translation>not found</translation>
    </message>
</context>
<context>
    <name>StorageDialog</name>
    <message>
        <source>Einstellungen</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source> Tage</source>
        <translation> days</translation>
    </message>
    <message>
        <source>Gespeicherte Messungen im Journal behalten:</source>
        <translation>Keep saved shots in the journal for:</translation>
    </message>
    <message>
        <source>Anlagenarchiv (PostgreSQL):</source>
        <translation>Plant archive (PostgreSQL):</translation>
    </message>
    <message>
        <source>Name dieser Station:</source>
        <translation>Name of this station:</translation>
    </message>
    <message>
        <source>Leer: kein Anlagenarchiv. Messungen warten im Journal, solange der Server nicht erreichbar ist.</source>
        <translation>Empty: no plant archive. Shots wait in the journal while the server cannot be reached.</translation>
    </message>
    <message>
        <source>Das Archiv ist durch VENTARO_ARCHIVE vorgegeben.</source>
        <translation>The archive is set by VENTARO_ARCHIVE.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TabBlackBox</name>
    <message>
        <source>Lokale Dateien
anzeigen</source>
        <translation>Show
local files</translation>
    </message>
    <message>
        <source>BlackBox Inhalt
anzeigen</source>
        <translation>Show
BlackBox content</translation>
    </message>
    <message>
        <source>Markierte Messungen
importieren</source>
        <translation>Import
selected shots</translation>
    </message>
    <message>
        <source>Messungen auf BlackBox:</source>
        <translation>Shots on the BlackBox:</translation>
    </message>
    <message>
        <source>Markierte
Messungen
übertragen</source>
        <translation>Transfer
selected
shots</translation>
    </message>
    <message>
        <source>Übertragene Messungen:</source>
        <translation>Transferred shots:</translation>
    </message>
    <message>
        <source>BlackBox öffnen</source>
        <translation>Open BlackBox</translation>
    </message>
</context>
<context>
    <name>TabEvaluation</name>
    <message>
        <source>&lt;</source>
        <translation>&lt;</translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation>&gt;</translation>
    </message>
    <message>
        <source>Auswertung 1/4: Überlagerung</source>
        <translation>Evaluation 1/4: Overlay</translation>
    </message>
    <message>
        <source>Auswertung 2/4: Laufzeit</source>
        <translation>Evaluation 2/4: Runtime</translation>
    </message>
    <message>
        <source>Auswertung 3/4: Messwerte</source>
        <translation>Evaluation 3/4: Values</translation>
    </message>
    <message>
        <source>Auswertung 4/4: SPC</source>
        <translation>Evaluation 4/4: SPC</translation>
    </message>
</context>
<context>
    <name>TabEvaluationDashBoard</name>
    <message>
        <source>Projektübersicht</source>
        <translation>Project overview</translation>
    </message>
    <message>
        <source>Projekt</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>Overlay</source>
        <translation>Overlay</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>Detail</translation>
    </message>
    <message>
        <source>Laufzeit</source>
        <translation>Runtime</translation>
    </message>
    <message>
        <source>Start:</source>
        <translation>Start:</translation>
    </message>
    <message>
        <source>Dauer:</source>
        <translation>Duration:</translation>
    </message>
    <message>
        <source>Stop:</source>
        <translation>Stop:</translation>
    </message>
    <message>
        <source>Maximalwerte</source>
        <translation>Maximum values</translation>
    </message>
    <message>
        <source>Sensor 1</source>
        <translation>Sensor 1</translation>
    </message>
    <message>
        <source>Sensor 2</source>
        <translation>Sensor 2</translation>
    </message>
    <message>
        <source>Sensor 3</source>
        <translation>Sensor 3</translation>
    </message>
    <message>
        <source>Sensor 4</source>
        <translation>Sensor 4</translation>
    </message>
    <message>
        <source>Sensor 5</source>
        <translation>Sensor 5</translation>
    </message>
    <message>
        <source>Anzahl</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>OK: %1</source>
        <translation>OK: %1</translation>
    </message>
    <message>
        <source>NOK: %1</source>
        <translation>NOK: %1</translation>
    </message>
    <message>
        <source>SPC</source>
        <translation>SPC</translation>
    </message>
</context>
<context>
    <name>TabEvaluationRuntime</name>
    <message>
        <source>Sensor 1</source>
        <translation>Sensor 1</translation>
    </message>
    <message>
        <source>Sensor 2</source>
        <translation>Sensor 2</translation>
    </message>
    <message>
        <source>Sensor 3</source>
        <translation>Sensor 3</translation>
    </message>
    <message>
        <source>Sensor 4</source>
        <translation>Sensor 4</translation>
    </message>
    <message>
        <source>Sensor 5</source>
        <translation>Sensor 5</translation>
    </message>
    <message>
        <source>Startwert</source>
        <translation>Start value</translation>
    </message>
    <message>
        <source>Stoppwert</source>
        <translation>Stop value</translation>
    </message>
    <message>
        <source>Korrektur dy</source>
        <translation>Correction dy</translation>
    </message>
    <message>
        <source>min</source>
        <translation>min</translation>
    </message>
    <message>
        <source>Q1/4</source>
        <translation>Q1/4</translation>
    </message>
    <message>
        <source>Median</source>
        <translation>Median</translation>
    </message>
    <message>
        <source>Q3/4</source>
        <translation>Q3/4</translation>
    </message>
    <message>
        <source>max</source>
        <translation>max</translation>
    </message>
    <message>
        <source>Start:</source>
        <translation>Start:</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Dauer:</source>
        <translation>Duration:</translation>
    </message>
    <message>
        <source>Stop:</source>
        <translation>Stop:</translation>
    </message>
    <message>
        <source>#</source>
        <translation>#</translation>
    </message>
    <message>
        <source>timestamp</source>
        <translation>timestamp</translation>
    </message>
    <message>
        <source>Start [s]</source>
        <translation>Start [s]</translation>
    </message>
    <message>
        <source>Dauer [s]</source>
        <translation>Duration [s]</translation>
    </message>
    <message>
        <source>Stop [s]</source>
        <translation>Stop [s]</translation>
    </message>
    <message>
        <source>Gesamtdauer [s]</source>
        <translation>Total [s]</translation>
    </message>
    <message>
        <source>Pause [s]</source>
        <translation>Pause [s]</translation>
    </message>
    <message>
        <source>Bewertung</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source> (Black Box)</source>
        <translation> (black box)</translation>
    </message>
</context>
<context>
    <name>TabEvaluationSingleShot</name>
    <message>
        <source>Zoom:</source>
        <translation>Zoom:</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>Raster:</source>
        <translation>Grid:</translation>
    </message>
    <message>
        <source>auto</source>
        <translation>auto</translation>
    </message>
    <message>
        <source>Abtastrate:</source>
        <translation>Sample rate:</translation>
    </message>
    <message>
        <source>--</source>
        <translation>--</translation>
    </message>
    <message>
        <source>Anzahl Messungen:</source>
        <translation>Number of shots:</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Überlagerte Messung:</source>
        <translation>Overlaid shot:</translation>
    </message>
    <message>
        <source>Bereich</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>Raster</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>Sensoren</source>
        <translation>Sensors</translation>
    </message>
    <message>
        <source>Sensor 1</source>
        <translation>Sensor 1</translation>
    </message>
    <message>
        <source>Sensor 2</source>
        <translation>Sensor 2</translation>
    </message>
    <message>
        <source>Sensor 3</source>
        <translation>Sensor 3</translation>
    </message>
    <message>
        <source>Sensor 4</source>
        <translation>Sensor 4</translation>
    </message>
    <message>
        <source>Sensor 5</source>
        <translation>Sensor 5</translation>
    </message>
    <message>
        <source>Korrektur dy</source>
        <translation>Correction dy</translation>
    </message>
    <message>
        <source>Einpassen</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>Die längste gezeigte Messung auf die Breite des Plots zoomen</source>
        <translation>Zoom the longest shown shot to the width of the plot</translation>
    </message>
</context>
<context>
    <name>TabEvaluationSpc</name>
    <message>
        <source>Basis „%1“: bitte einen Bereich wie „1-50“ angeben; es gelten alle Messungen.</source>
        <translation>Base &quot;%1&quot;: please give one range such as &quot;1-50&quot;; all shots are used.</translation>
    </message>
    <message>
        <source>n = %1   x̄ = %2   σ innerhalb = %3   σ gesamt = %4   OEG = %5   UEG = %6      Cp %7   Cpk %8   Pp %9   Ppk %10</source>
        <translation>n = %1   x̄ = %2   σ within = %3   σ overall = %4   UCL = %5   LCL = %6      Cp %7   Cpk %8   Pp %9   Ppk %10</translation>
    </message>
    <message>
        <source>Wert:</source>
        <translation>Value:</translation>
    </message>
    <message>
        <source>Basis:</source>
        <translation>Base:</translation>
    </message>
    <message>
        <source>OSG:</source>
        <translation>USL:</translation>
    </message>
    <message>
        <source>USG:</source>
        <translation>LSL:</translation>
    </message>
    <message>
        <source>Regeln:</source>
        <translation>Rules:</translation>
    </message>
    <message>
        <source>Einzelwerte</source>
        <translation>Individuals</translation>
    </message>
    <message>
        <source>Gleitende Spannweite</source>
        <translation>Moving range</translation>
    </message>
    <message>
        <source>Messung</source>
        <translation>Shot</translation>
    </message>
    <message>
        <source>Regel</source>
        <translation>Rule</translation>
    </message>
    <message>
        <source>Wert</source>
        <translation>Value</translation>
    </message>
</context>
<context>
    <name>TabEvaluationValues</name>
    <message>
        <source>Sensor 1</source>
        <translation>Sensor 1</translation>
    </message>
    <message>
        <source>Sensor 2</source>
        <translation>Sensor 2</translation>
    </message>
    <message>
        <source>Sensor 3</source>
        <translation>Sensor 3</translation>
    </message>
    <message>
        <source>Sensor 4</source>
        <translation>Sensor 4</translation>
    </message>
    <message>
        <source>Sensor 5</source>
        <translation>Sensor 5</translation>
    </message>
    <message>
        <source>Marker links</source>
        <translation>Left marker</translation>
    </message>
    <message>
        <source>Marker rechts</source>
        <translation>Right marker</translation>
    </message>
    <message>
        <source>Korrektur dy</source>
        <translation>Correction dy</translation>
    </message>
    <message>
        <source>Min:</source>
        <translation>Min:</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Q1/4:</source>
        <translation>Q1/4:</translation>
    </message>
    <message>
        <source>Median:</source>
        <translation>Median:</translation>
    </message>
    <message>
        <source>Q3/4:</source>
        <translation>Q3/4:</translation>
    </message>
    <message>
        <source>Max:</source>
        <translation>Max:</translation>
    </message>
    <message>
        <source>#</source>
        <translation>#</translation>
    </message>
    <message>
        <source>max Sensor 1</source>
        <translation>max Sensor 1</translation>
    </message>
    <message>
        <source>max Sensor 2</source>
        <translation>max Sensor 2</translation>
    </message>
    <message>
        <source>max Sensor 3</source>
        <translation>max Sensor 3</translation>
    </message>
    <message>
        <source>max Sensor 4</source>
        <translation>max Sensor 4</translation>
    </message>
    <message>
        <source>max Sensor 5</source>
        <translation>max Sensor 5</translation>
    </message>
    <message>
        <source>Bewertung</source>
        <translation>Verdict</translation>
    </message>
</context>
<context>
    <name>TabOszilloscope</name>
    <message>
        <source>Oszilloskop</source>
        <translation>Oscilloscope</translation>
    </message>
    <message>
        <source>Marker löschen</source>
        <translation>Clear markers</translation>
    </message>
    <message>
        <source>Abs.</source>
        <translation>Abs.</translation>
    </message>
    <message>
        <source>t[s]=</source>
        <translation>t[s]=</translation>
    </message>
    <message>
        <source>WZ schließen</source>
        <translation>Close mould</translation>
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
        <source>y Korr.</source>
        <translation>y corr.</translation>
    </message>
    <message>
        <source>Einstellungen sperren</source>
        <translation>Lock settings</translation>
    </message>
    <message>
        <source>Messungen:</source>
        <translation>Shots:</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Anzeigen:</source>
        <translation>Show:</translation>
    </message>
    <message>
        <source>alle</source>
        <translation>all</translation>
    </message>
    <message>
        <source>1,3-5</source>
        <translation>1,3-5</translation>
    </message>
    <message>
        <source>Hervorheben:</source>
        <translation>Highlight:</translation>
    </message>
    <message>
        <source>Löschen:</source>
        <translation>Delete:</translation>
    </message>
    <message>
        <source>3,5-7</source>
        <translation>3,5-7</translation>
    </message>
    <message>
        <source>Messungen löschen</source>
        <translation>Delete shots</translation>
    </message>
    <message>
        <source>S1</source>
        <translation>S1</translation>
    </message>
    <message>
        <source>S2</source>
        <translation>S2</translation>
    </message>
    <message>
        <source>S3</source>
        <translation>S3</translation>
    </message>
    <message>
        <source>S4</source>
        <translation>S4</translation>
    </message>
    <message>
        <source>S5</source>
        <translation>S5</translation>
    </message>
    <message>
        <source>Sensor 1: </source>
        <translation>Sensor 1: </translation>
    </message>
    <message>
        <source>max</source>
        <translation>max</translation>
    </message>
    <message>
        <source>min</source>
        <translation>min</translation>
    </message>
    <message>
        <source>auto</source>
        <translation>auto</translation>
    </message>
    <message>
        <source>Offset</source>
        <translation>Offset</translation>
    </message>
    <message>
        <source>Sensor 2: </source>
        <translation>Sensor 2: </translation>
    </message>
    <message>
        <source>Sensor 3: </source>
        <translation>Sensor 3: </translation>
    </message>
    <message>
        <source>Sensor 4: </source>
        <translation>Sensor 4: </translation>
    </message>
    <message>
        <source>Sensor 5: </source>
        <translation>Sensor 5: </translation>
    </message>
    <message>
        <source>Abtastrate:</source>
        <translation>Sample rate:</translation>
    </message>
    <message>
        <source>--</source>
        <translation>--</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Zeitraster</source>
        <translation>Time grid</translation>
    </message>
    <message>
        <source>Referenz aus:</source>
        <translation>Reference from:</translation>
    </message>
    <message>
        <source>Gute Messungen, aus denen die Referenz eingelernt wird; leer: die angezeigten</source>
        <translation>Good shots to teach the reference from; empty: the shots shown</translation>
    </message>
    <message>
        <source>1-50</source>
        <translation>1-50</translation>
    </message>
    <message>
        <source>Referenz einlernen</source>
        <translation>Teach reference</translation>
    </message>
    <message>
        <source>Referenz-Einstellungen...</source>
        <translation>Reference settings...</translation>
    </message>
    <message>
        <source>Zwei Cursor in allen Plots: Zeit eingeben oder mit der Maus ziehen</source>
        <translation>Two cursors in every plot: type their times or drag them with the mouse</translation>
    </message>
    <message>
        <source>Cursor A/B</source>
        <translation>Cursors A/B</translation>
    </message>
    <message>
        <source>A [ms]:</source>
        <translation>A [ms]:</translation>
    </message>
    <message>
        <source>B [ms]:</source>
        <translation>B [ms]:</translation>
    </message>
    <message>
        <source>Cursor-Tabelle...</source>
        <translation>Cursor table...</translation>
    </message>
    <message>
        <source>Letztes Löschen rückgängig machen (Strg+Z)</source>
        <translation>Undo the last deletion (Ctrl+Z)</translation>
    </message>
    <message>
        <source>Rückgängig</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Die längste gezeigte Messung auf die Breite der Plots zoomen</source>
        <translation>Zoom the longest shown shot to the width of the plots</translation>
    </message>
    <message>
        <source>Einpassen</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>Messung %1: %2</source>
        <translation>Shot %1: %2</translation>
    </message>
</context>
<context>
    <name>TabProject</name>
    <message>
        <source>Projektinformationen</source>
        <translation>Project information</translation>
    </message>
    <message>
        <source>Projekt Name</source>
        <translation>Project name</translation>
    </message>
    <message>
        <source>Projekt Nummer</source>
        <translation>Project number</translation>
    </message>
    <message>
        <source>Projekt Datum</source>
        <translation>Project date</translation>
    </message>
    <message>
        <source>Bearbeiter</source>
        <translation>Engineer</translation>
    </message>
    <message>
        <source>Kunde</source>
        <translation>Customer</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Einspritzzeit:</source>
        <translation>Injection time:</translation>
    </message>
    <message>
        <source>Nachdruckzeit:</source>
        <translation>Holding pressure time:</translation>
    </message>
    <message>
        <source>Schließkraft:</source>
        <translation>Clamping force:</translation>
    </message>
    <message>
        <source>Nachdruck:</source>
        <translation>Holding pressure:</translation>
    </message>
    <message>
        <source>Aufnahme</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Abtastrate:</source>
        <translation>Sample rate:</translation>
    </message>
    <message>
        <source>5ms</source>
        <translation>5ms</translation>
    </message>
    <message>
        <source>10ms</source>
        <translation>10ms</translation>
    </message>
    <message>
        <source>20ms</source>
        <translation>20ms</translation>
    </message>
    <message>
        <source>25ms</source>
        <translation>25ms</translation>
    </message>
    <message>
        <source>50ms</source>
        <translation>50ms</translation>
    </message>
    <message>
        <source>100ms</source>
        <translation>100ms</translation>
    </message>
    <message>
        <source>200ms</source>
        <translation>200ms</translation>
    </message>
    <message>
        <source>250ms</source>
        <translation>250ms</translation>
    </message>
    <message>
        <source>500ms</source>
        <translation>500ms</translation>
    </message>
    <message>
        <source>1000ms</source>
        <translation>1000ms</translation>
    </message>
    <message>
        <source>Daten</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Bilder</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>Bild hinzufügen...</source>
        <translation>Add picture...</translation>
    </message>
    <message>
        <source>(Bild)</source>
        <translation>(Picture)</translation>
    </message>
    <message>
        <source>Kommentare/ Notizen</source>
        <translation>Comments/ notes</translation>
    </message>
    <message>
        <source>Phasen:</source>
        <translation>Phases:</translation>
    </message>
    <message>
        <source>WZ schließen</source>
        <translation>Close mould</translation>
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
        <translation>Open mould</translation>
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
    <message>
        <source>Keine neuen Messwerte seit %1</source>
        <translation>No new readings since %1</translation>
    </message>
</context>
<context>
    <name>UpdateDialog</name>
    <message>
        <source>&lt;h2&gt;&lt;b&gt;Firmware Update&lt;/b&gt;&lt;/h2&gt;</source>
        <translation>&lt;h2&gt;&lt;b&gt;Firmware Update&lt;/b&gt;&lt;/h2&gt;</translation>
    </message>
    <message>
        <source>Bitte Firmware-Datei auswählen (*.tgz) und hochladen. Danach Kalvik Box neu starten.</source>
        <translation>Please choose the firmware file (*.tgz) and upload it. Then restart the Kalvik box.</translation>
    </message>
    <message>
        <source>Firmware Datei auswählen...</source>
        <translation>Choose firmware file...</translation>
    </message>
    <message>
        <source>Firmware hochladen</source>
        <translation>Upload firmware</translation>
    </message>
    <message>
        <source>Kalvik Neustart</source>
        <translation>Restart Kalvik</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Firmware auswählen</source>
        <translation>Choose firmware</translation>
    </message>
    <message>
        <source>Kalvik Firmware (*.tgz)</source>
        <translation>Kalvik firmware (*.tgz)</translation>
    </message>
    <message>
        <source>Fehler beim Hochladen!</source>
        <translation>Upload failed!</translation>
    </message>
    <message>
        <source>Hochladen erfolgreich.</source>
        <translation>Upload successful.</translation>
    </message>
    <message>
        <source>Fehler beim Reboot!</source>
        <translation>Restart failed!</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Connecting...</translation>
    </message>
    <message>
        <source>NO CONNECTION!</source>
        <translation>NO CONNECTION!</translation>
    </message>
    <message>
        <source>Reboot Kommando gesendet.</source>
        <translation>Restart command sent.</translation>
    </message>
</context>
<context>
    <name>Verdict</name>
    <message>
        <source>Außerhalb der Referenz</source>
        <translation>Outside the reference</translation>
    </message>
    <message>
        <source>Sensor ausgefallen</source>
        <translation>Sensor failed</translation>
    </message>
    <message>
        <source>Schuss zu kurz</source>
        <translation>Shot too short</translation>
    </message>
    <message>
        <source>Sensor %1</source>
        <translation>Sensor %1</translation>
    </message>
    <message>
        <source>Phase %1</source>
        <translation>Phase %1</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>Abweichung %1</source>
        <translation>deviation %1</translation>
    </message>
    <message>
        <source>für %1 ms</source>
        <translation>for %1 ms</translation>
    </message>
</context>
<context>
    <name>VerdictLamp</name>
    <message>
        <source>OK %1 · NOK %2</source>
        <translation>OK %1 · NOK %2</translation>
    </message>
</context>
<context>
    <name>VerdictMonitor</name>
    <message>
        <source>Die gespeicherte Referenz ist unbrauchbar. Bitte neu einlernen.</source>
        <translation>The stored reference cannot be used. Please teach it again.</translation>
    </message>
    <message>
        <source>Die Referenz wurde bei %1 ms je Messwert eingelernt, die Messungen haben %2 ms. Bitte neu einlernen.</source>
        <translation>The reference was taught at %1 ms per sample, the shots have %2 ms. Please teach it again.</translation>
    </message>
</context>
<context>
    <name>View</name>
    <message>
        <source>Ventaro</source>
        <translation>Ventaro</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>Projekt</source>
        <translation>Project</translation>
    </message>
    <message>
        <source>Sensoren</source>
        <translation>Sensors</translation>
    </message>
    <message>
        <source>Oszilloskop</source>
        <translation>Oscilloscope</translation>
    </message>
    <message>
        <source>Auswertung</source>
        <translation>Evaluation</translation>
    </message>
    <message>
        <source>Web Configuration</source>
        <translation>Web Configuration</translation>
    </message>
    <message>
        <source>Datenlogger</source>
        <translation>Data logger</translation>
    </message>
    <message>
        <source>Sensor 1</source>
        <translation>Sensor 1</translation>
    </message>
    <message>
        <source>Sensor 2</source>
        <translation>Sensor 2</translation>
    </message>
    <message>
        <source>Sensor 3</source>
        <translation>Sensor 3</translation>
    </message>
    <message>
        <source>Sensor 4</source>
        <translation>Sensor 4</translation>
    </message>
    <message>
        <source>Sensor 5</source>
        <translation>Sensor 5</translation>
    </message>
    <message>
        <source>Löschen</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Terminal</source>
        <translation>Terminal</translation>
    </message>
    <message>
        <source>Senden</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>BlackBox</source>
        <translation>BlackBox</translation>
    </message>
    <message>
        <source>Verbinden</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Mit Kalvik verbinden.</source>
        <translation>Connect to Kalvik.</translation>
    </message>
    <message>
        <source>Trennen</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Kalvik Verbindung trennen.</source>
        <translation>Disconnect from Kalvik.</translation>
    </message>
    <message>
        <source>Über Ventaro...</source>
        <translation>About Ventaro...</translation>
    </message>
    <message>
        <source>Terminal speichern...</source>
        <translation>Save terminal...</translation>
    </message>
    <message>
        <source>CSV speichern...</source>
        <translation>Save CSV...</translation>
    </message>
    <message>
        <source>Save data as CSV file</source>
        <translation>Save data as CSV file</translation>
    </message>
    <message>
        <source>Oszilloskop speichern...</source>
        <translation>Save oscilloscope...</translation>
    </message>
    <message>
        <source>Save oscilloscope as a graphics file</source>
        <translation>Save oscilloscope as a graphics file</translation>
    </message>
    <message>
        <source>&amp;Neues Projekt</source>
        <translation>&amp;New project</translation>
    </message>
    <message>
        <source>Neues Projekt anlegen</source>
        <translation>Create a new project</translation>
    </message>
    <message>
        <source>Projekt &amp;öffnen...</source>
        <translation>&amp;Open project...</translation>
    </message>
    <message>
        <source>Projekt &amp;speichern</source>
        <translation>&amp;Save project</translation>
    </message>
    <message>
        <source>Projekt speichern &amp;unter...</source>
        <translation>Save project &amp;as...</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Kalibrieren</source>
        <translation>Calibrate</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Ventaro beenden</source>
        <translation>Quit Ventaro</translation>
    </message>
    <message>
        <source>German</source>
        <translation>German</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>BlackBox Daten Öffnen</source>
        <translation>Open BlackBox data</translation>
    </message>
    <message>
        <source>Messdaten</source>
        <translation>Shots</translation>
    </message>
    <message>
        <source>&amp;Trennen</source>
        <translation>&amp;Disconnect</translation>
    </message>
    <message>
        <source>&amp;Verbinden</source>
        <translation>&amp;Connect</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>&amp;Stop</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>Projekt speichern?</source>
        <translation>Save project?</translation>
    </message>
    <message>
        <source>Speichern</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Verwerfen</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>Ventaro beenden?</source>
        <translation>Quit Ventaro?</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Vor dem Beenden Ventaro Projekt speichern?</source>
        <translation>Save the Ventaro project before quitting?</translation>
    </message>
    <message>
        <source>Ja</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Nein</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Speichern fehlgeschlagen</source>
        <translation>Saving failed</translation>
    </message>
    <message>
        <source>Save data logger file</source>
        <translation>Save data logger file</translation>
    </message>
    <message>
        <source>CSV - Comma separated values</source>
        <translation>CSV - Comma separated values</translation>
    </message>
    <message>
        <source>Die Messdaten konnten nicht in die Datei %1 gespeichert werden.</source>
        <translation>The shot data could not be saved to the file %1.</translation>
    </message>
    <message>
        <source>Save oscilloscope</source>
        <translation>Save oscilloscope</translation>
    </message>
    <message>
        <source>Das Oszilloskop-Bild konnte nicht in die Datei %1 gespeichert werden: der Name endet nicht auf ein bekanntes Bildformat (.bmp, .jpg, .png).</source>
        <translation>The oscilloscope picture could not be saved to the file %1: the name does not end in a known picture format (.bmp, .jpg, .png).</translation>
    </message>
    <message>
        <source>Das Oszilloskop-Bild konnte nicht in die Datei %1 gespeichert werden.</source>
        <translation>The oscilloscope picture could not be saved to the file %1.</translation>
    </message>
    <message>
        <source>Save terminal</source>
        <translation>Save terminal</translation>
    </message>
    <message>
        <source>ASCII File</source>
        <translation>ASCII File</translation>
    </message>
    <message>
        <source>Der Terminal-Inhalt konnte nicht in die Datei %1 gespeichert werden.</source>
        <translation>The terminal text could not be saved to the file %1.</translation>
    </message>
    <message>
        <source>Bild öffnen</source>
        <translation>Open picture</translation>
    </message>
    <message>
        <source>Bild Dateien</source>
        <translation>Picture files</translation>
    </message>
    <message>
        <source>Die Datei %1 konnte nicht als Bild gelesen werden.</source>
        <translation>The file %1 could not be read as a picture.</translation>
    </message>
    <message>
        <source>Das Projekt konnte nicht in die Datei %1 gespeichert werden.</source>
        <translation>The project could not be saved to the file %1.</translation>
    </message>
    <message>
        <source>Die Messdaten sind noch nicht gesichert.</source>
        <translation>The measurements are not saved yet.</translation>
    </message>
    <message>
        <source>Anderswo speichern...</source>
        <translation>Save elsewhere...</translation>
    </message>
    <message>
        <source>Einstellungen...</source>
        <translation>Settings...</translation>
    </message>
    <message>
        <source>Journal und Anlagenarchiv einstellen.</source>
        <translation>Set up the journal and the plant archive.</translation>
    </message>
    <message>
        <source>Bericht erstellen...</source>
        <translation>Create report...</translation>
    </message>
    <message>
        <source>Write a report of the project as PDF</source>
        <translation>Write a report of the project as PDF</translation>
    </message>
    <message>
        <source>Bericht</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>Bericht erstellen</source>
        <translation>Create report</translation>
    </message>
    <message>
        <source>Der Bericht wurde nicht erstellt: %1</source>
        <translation>The report was not written: %1</translation>
    </message>
    <message>
        <source>Zuletzt geöffnet</source>
        <translation>Recent projects</translation>
    </message>
    <message>
        <source>Löschen rückgängig</source>
        <translation>Undo deletion</translation>
    </message>
    <message>
        <source>nicht gefunden</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>Verbindung wird wiederhergestellt...</source>
        <translation>Reconnecting...</translation>
    </message>
</context>
</TS>
