<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- SPDX-License-Identifier: MIT -->
<TS version="2.1" language="en">
<context>
    <name>korva::app::CReferenceDlg</name>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forward</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search commands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose a command from the list, or type what you are looking for into the search text.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n related</source>
        <translation>
            <numerusform>%n related</numerusform>
            <numerusform>%n related</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Also See, %n related</source>
        <translation>
            <numerusform>Also See, %n related</numerusform>
            <numerusform>Also See, %n related</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Also See, %n related, found in %1</source>
        <translation>
            <numerusform>Also See, %n related, found in %1</numerusform>
            <numerusform>Also See, %n related, found in %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Also See</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>korva::app::ResultsPanel</name>
    <message numerus="yes">
        <source>Searching... %n so far</source>
        <translation>
            <numerusform>Searching... %n so far</numerusform>
            <numerusform>Searching... %n so far</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>No command holds all of these words; %n closest</source>
        <translation>
            <numerusform>No command holds all of these words; %n closest</numerusform>
            <numerusform>No command holds all of these words; %n closest</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n result(s)</source>
        <translation>
            <numerusform>%n result</numerusform>
            <numerusform>%n results</numerusform>
        </translation>
    </message>
</context>
</TS>
