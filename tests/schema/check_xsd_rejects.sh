#!/bin/sh
# The XML Schema that `korvane schema --xsd` prints rejects a fault that `korvane check` reports:
# CASE names one change to a file that both accept, after which check must report a finding and
# xmllint must find the file invalid.
#   check_xsd_rejects.sh KORVANE CASE
set -eu
korvane=$1
case=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every section, each value once; the root names the schema, as a file written for an editor
# does.
cat >"$work/clean.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<SETUP xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:noNamespaceSchemaLocation="setup.xsd">
  <RESERVE><WORD><SHORT>[APPDIR]</SHORT><MEAN>Application folder</MEAN></WORD></RESERVE>
  <CONFIG><PRODUCT>Sample</PRODUCT></CONFIG>
  <FILES>
    <FILE><SRCPATH>bin\app.exe</SRCPATH><FILENAME>app.exe</FILENAME><FOLDER>[APPDIR]</FOLDER><VERSION>1.0</VERSION><TARGETOS>ALL</TARGETOS><SHORTCUT>DESKTOP</SHORTCUT><DISPLAYNAME>App</DISPLAYNAME><ICONINDEX>-1</ICONINDEX><SELFREG>0</SELFREG><REALTIME>0</REALTIME><REBOOT>1</REBOOT><OVERWRITE>1</OVERWRITE><FILESIZE>40960</FILESIZE></FILE>
  </FILES>
  <REGISTRYS>
    <REGISTRY><REGPATH>Software\Sample</REGPATH><TYPE>1</TYPE><KEY>Path</KEY><VALUE>[APPDIR]</VALUE><ACTION>0</ACTION></REGISTRY>
  </REGISTRYS>
  <PREKILLS><PREKILL><CLASS>SampleWindow</CLASS><TITLE>Sample</TITLE></PREKILL></PREKILLS>
  <UPKILLS/>
  <PREEXECUTE><COMMAND>[APPDIR]prepare.exe</COMMAND></PREEXECUTE>
  <POSTEXECUTE/>
  <UPDATEEXECUTE/>
  <DELETEEXECUTE/>
</SETUP>
EOF

# The change each case makes, as a sed script.
case $case in
unknown-element) change='s|<FILENAME>app.exe</FILENAME>|<FILNAME>app.exe</FILNAME>|' ;;
unknown-section) change='s|<UPKILLS/>|<UPKILLS/><DOWNKILLS/>|' ;;
other-root-name) change='s|SETUP|INSTALL|g' ;;
other-item-name) change='s|<PREKILL>\(.*\)</PREKILL>|<KILL>\1</KILL>|' ;;
second-value) change='s|<SRCPATH>bin|<SRCPATH>x</SRCPATH><SRCPATH>bin|' ;;
second-section) change='s|<UPKILLS/>|<UPKILLS/><UPKILLS/>|' ;;
text-in-item) change='s|<FILE><SRCPATH>|<FILE>loose text<SRCPATH>|' ;;
markup-in-value) change='s|<FILENAME>app.exe|<FILENAME>app<B>.</B>exe|' ;;
number-with-blank) change='s|<FILESIZE>40960|<FILESIZE> 40960|' ;;
number-with-plus) change='s|<FILESIZE>40960|<FILESIZE>+40960|' ;;
number-with-letter) change='s|<FILESIZE>40960|<FILESIZE>4O960|' ;;
number-with-leading-zero) change='s|<FILESIZE>40960|<FILESIZE>040960|' ;;
number-minus-zero) change='s|<ICONINDEX>-1|<ICONINDEX>-0|' ;;
number-beyond-32-bits) change='s|<FILESIZE>40960|<FILESIZE>2147483648|' ;;
number-below-32-bits) change='s|<ICONINDEX>-1|<ICONINDEX>-2147483649|' ;;
number-empty) change='s|<ACTION>0</ACTION>|<ACTION></ACTION>|' ;;
registry-type-not-a-number) change='s|<TYPE>1</TYPE>|<TYPE>REG_SZ</TYPE>|' ;;
flag-seven) change='s|<SELFREG>0|<SELFREG>7|' ;;
flag-true) change='s|<REBOOT>1|<REBOOT>true|' ;;
flag-with-blank) change='s|<REBOOT>1|<REBOOT> 1|' ;;
flag-empty) change='s|<REALTIME>0</REALTIME>|<REALTIME/>|' ;;
text-too-wide) change='s|<SHORTCUT>DESKTOP|<SHORTCUT>STARTMENU_LONG|' ;;
reserved-word-twice) change='s|</WORD></RESERVE>|</WORD><WORD><SHORT>[APPDIR]</SHORT><MEAN>Again</MEAN></WORD></RESERVE>|' ;;
*) echo "no case $case"; exit 2 ;;
esac
sed "$change" "$work/clean.xml" >"$work/faulty.xml"
cmp -s "$work/clean.xml" "$work/faulty.xml" && { echo "$case changes nothing"; exit 1; }

"$korvane" schema --xsd >"$work/setup.xsd"
# Both accept the file as it was (xmllint reads the schema named on the command line, not the
# one the file names).
"$korvane" check "$work/clean.xml"
xmllint --noout --schema "$work/setup.xsd" "$work/clean.xml"

if "$korvane" check "$work/faulty.xml"; then
    echo "check finds no fault in the $case case"
    exit 1
fi
if xmllint --noout --schema "$work/setup.xsd" "$work/faulty.xml"; then
    echo "the schema accepts the $case case"
    exit 1
fi
echo "check and the schema refuse the $case case"
