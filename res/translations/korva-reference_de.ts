<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- SPDX-License-Identifier: MIT -->
<TS version="2.1" language="de">
<context>
    <name>korva::app::CReferenceDlg</name>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Vorwärts</translation>
    </message>
    <message>
        <source>Search commands</source>
        <translation>Befehle suchen</translation>
    </message>
    <message>
        <source>Choose a command from the list, or type what you are looking for into the search text.</source>
        <translation>Wählen Sie einen Befehl aus der Liste, oder geben Sie in das Suchfeld ein, was Sie suchen.</translation>
    </message>
    <message numerus="yes">
        <source>%n related</source>
        <translation>
            <numerusform>%n verwandter</numerusform>
            <numerusform>%n verwandte</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Also See, %n related</source>
        <translation>
            <numerusform>Siehe auch, %n verwandter</numerusform>
            <numerusform>Siehe auch, %n verwandte</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Also See, %n related, found in %1</source>
        <translation>
            <numerusform>Siehe auch, %n verwandter, gefunden in %1</numerusform>
            <numerusform>Siehe auch, %n verwandte, gefunden in %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Also See</source>
        <translation>Siehe auch</translation>
    </message>
</context>
<context>
    <name>korva::app::ResultsPanel</name>
    <message numerus="yes">
        <source>Searching... %n so far</source>
        <translation>
            <numerusform>Suche läuft... bisher %n</numerusform>
            <numerusform>Suche läuft... bisher %n</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>No command holds all of these words; %n closest</source>
        <translation>
            <numerusform>Kein Befehl enthält alle diese Wörter; %n nächster</numerusform>
            <numerusform>Kein Befehl enthält alle diese Wörter; %n nächste</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n result(s)</source>
        <translation>
            <numerusform>%n Ergebnis</numerusform>
            <numerusform>%n Ergebnisse</numerusform>
        </translation>
    </message>
</context>
</TS>
