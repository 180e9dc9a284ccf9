; A real installer as a client of Korvane.dll: run silently from a folder that holds
; Korvane.dll, indent.xsl and setup.xml, it reads the description through the System plug-in,
; writes what it read to results.txt and saves copies of what it loaded.
;   makensis -DOUTFILE=client.exe client.nsi
Unicode false
SilentInstall silent
RequestExecutionLevel user
OutFile "${OUTFILE}"

Var results

!macro Write LINE
  FileWrite $results "${LINE}$\n"
!macroend

Section
  SetOutPath $EXEDIR
  FileOpen $results "$EXEDIR\results.txt" w

  System::Call '$EXEDIR\Korvane.dll::LoadSetupFile(m "$EXEDIR\setup.xml") i .r0'
  !insertmacro Write "load=$0"
  System::Call '$EXEDIR\Korvane.dll::GetFileCount() i .r0'
  System::Call '$EXEDIR\Korvane.dll::GetRegistryCount() i .r1'
  System::Call '$EXEDIR\Korvane.dll::GetReservedWordCount() i .r2'
  System::Call '$EXEDIR\Korvane.dll::GetPreKillProcessCount() i .r3'
  System::Call '$EXEDIR\Korvane.dll::GetUpKillProcessCount() i .r4'
  System::Call '$EXEDIR\Korvane.dll::GetPreExecuteCount() i .r5'
  System::Call '$EXEDIR\Korvane.dll::GetPostExecuteCount() i .r6'
  System::Call '$EXEDIR\Korvane.dll::GetUpdateExecuteCount() i .r7'
  System::Call '$EXEDIR\Korvane.dll::GetDeleteExecuteCount() i .r8'
  !insertmacro Write "counts=$0 $1 $2 $3 $4 $5 $6 $7 $8"

  System::Call '$EXEDIR\Korvane.dll::GetFileInfo(i 0, m .r1, m .r2, m .r3, m .r4, m .r5, m .r6, m .r7, *i .R1, *i .R2, *i .R3, *i .R4, *i .R5, *i .R6) i .r0'
  !insertmacro Write "file0=$0|$1|$2|$3|$4|$5|$6|$7|$R1|$R2|$R3|$R4|$R5|$R6"

  System::Call '$EXEDIR\Korvane.dll::GetElementField(m "PRODUCT", m .r1) i .r0'
  !insertmacro Write "product=$0|$1"

  System::Call '$EXEDIR\Korvane.dll::SaveSetupFile(m "$EXEDIR\copy.xml") i .r0'
  !insertmacro Write "save=$0"

  System::Call '$EXEDIR\Korvane.dll::SetReservedWord(m "[ROOT]", m "Root of the test", m "C:\Apps\") i .r0'
  System::Call '$EXEDIR\Korvane.dll::SetupPathToRealPath(m "[ROOT]Harbor\[APPDIR]notes.exe", m .r1) i .r2'
  !insertmacro Write "words=$0 expanded=$2|$1"

  ; A file the Linux library saved, loaded and saved again.
  System::Call '$EXEDIR\Korvane.dll::LoadSetupFile(m "$EXEDIR\linux.xml") i .r0'
  System::Call '$EXEDIR\Korvane.dll::SaveSetupFile(m "$EXEDIR\linux-copy.xml") i .r1'
  !insertmacro Write "linux=$0 $1"

  FileClose $results
SectionEnd
