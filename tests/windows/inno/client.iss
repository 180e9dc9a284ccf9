; A real installer as a client of Korvane.dll: Inno Setup embeds the DLL when it compiles this
; script and its setup extracts it to a temporary folder at the first call. Run silently from a
; folder that holds indent.xsl, setup.xml and linux.xml, the setup reads the description, writes
; what it read to results.txt (in UTF-8) and saves copies of what it loaded.
;   ISCC.exe /DKorvaneDll=C:\path\Korvane.dll /OC:\out /Fclient client.iss
;   client.exe /VERYSILENT /SUPPRESSMSGBOXES
; Inno Setup's setup is a 32-bit program, so it loads the 32-bit DLL only. Texts are AnsiString:
; the DLL takes 8-bit texts in the ANSI code page, whereas a String would reach it as UTF-16.

[Setup]
AppName=Korvane client
AppVersion=1.0
CreateAppDir=no
Uninstallable=no
PrivilegesRequired=lowest
OutputBaseFilename=client

[Files]
Source: "{#KorvaneDll}"; Flags: dontcopy

[Code]
function LoadSetupFile(Path: AnsiString): Longint;
  external 'LoadSetupFile@files:Korvane.dll stdcall setuponly';
function SaveSetupFile(Path: AnsiString): Longint;
  external 'SaveSetupFile@files:Korvane.dll stdcall setuponly';
function GetFileCount(): Longint;
  external 'GetFileCount@files:Korvane.dll stdcall setuponly';
function GetRegistryCount(): Longint;
  external 'GetRegistryCount@files:Korvane.dll stdcall setuponly';
function GetReservedWordCount(): Longint;
  external 'GetReservedWordCount@files:Korvane.dll stdcall setuponly';
function GetPreKillProcessCount(): Longint;
  external 'GetPreKillProcessCount@files:Korvane.dll stdcall setuponly';
function GetUpKillProcessCount(): Longint;
  external 'GetUpKillProcessCount@files:Korvane.dll stdcall setuponly';
function GetPreExecuteCount(): Longint;
  external 'GetPreExecuteCount@files:Korvane.dll stdcall setuponly';
function GetPostExecuteCount(): Longint;
  external 'GetPostExecuteCount@files:Korvane.dll stdcall setuponly';
function GetUpdateExecuteCount(): Longint;
  external 'GetUpdateExecuteCount@files:Korvane.dll stdcall setuponly';
function GetDeleteExecuteCount(): Longint;
  external 'GetDeleteExecuteCount@files:Korvane.dll stdcall setuponly';
function GetFileInfo(Index: Longint; SrcPath, FileName, Folder, Version, TargetOs, Shortcut,
  DisplayName: AnsiString; var IconIndex, SelfReg, Overwrite, FileSize, RealTime,
  Reboot: Longint): Longint;
  external 'GetFileInfo@files:Korvane.dll stdcall setuponly';
function GetElementField(Name, Value: AnsiString): Longint;
  external 'GetElementField@files:Korvane.dll stdcall setuponly';
function SetReservedWord(Word, Meaning, Expansion: AnsiString): Longint;
  external 'SetReservedWord@files:Korvane.dll stdcall setuponly';
function SetupPathToRealPath(SetupPath, RealPath: AnsiString): Longint;
  external 'SetupPathToRealPath@files:Korvane.dll stdcall setuponly';

var
  Results: TArrayOfString;

// An output buffer of Size bytes: the DLL writes into the string's own characters.
function Buffer(Size: Integer): AnsiString;
begin
  Result := StringOfChar(' ', Size);
end;

// The text the DLL wrote into a buffer, up to its terminator.
function Written(Buf: AnsiString): AnsiString;
begin
  Result := Copy(Buf, 1, Pos(#0, Buf) - 1);
end;

procedure AddResult(Line: String);
begin
  SetArrayLength(Results, GetArrayLength(Results) + 1);
  Results[GetArrayLength(Results) - 1] := Line;
end;

procedure ReadDescription(Dir: String);
var
  SrcPath, FileName, Folder, Version, TargetOs, Shortcut, DisplayName, Product,
    RealPath: AnsiString;
  IconIndex, SelfReg, Overwrite, FileSize, RealTime, Reboot, Found, Words, Expanded: Longint;
begin
  AddResult('load=' + IntToStr(LoadSetupFile(Dir + '\setup.xml')));
  AddResult('counts=' + IntToStr(GetFileCount()) + ' ' + IntToStr(GetRegistryCount()) + ' ' +
    IntToStr(GetReservedWordCount()) + ' ' + IntToStr(GetPreKillProcessCount()) + ' ' +
    IntToStr(GetUpKillProcessCount()) + ' ' + IntToStr(GetPreExecuteCount()) + ' ' +
    IntToStr(GetPostExecuteCount()) + ' ' + IntToStr(GetUpdateExecuteCount()) + ' ' +
    IntToStr(GetDeleteExecuteCount()));

  // Buffers of the sizes korvane.h gives for each field.
  SrcPath := Buffer(260);
  FileName := Buffer(260);
  Folder := Buffer(260);
  Version := Buffer(128);
  TargetOs := Buffer(20);
  Shortcut := Buffer(10);
  DisplayName := Buffer(130);
  Found := GetFileInfo(0, SrcPath, FileName, Folder, Version, TargetOs, Shortcut, DisplayName,
    IconIndex, SelfReg, Overwrite, FileSize, RealTime, Reboot);
  AddResult('file0=' + IntToStr(Found) + '|' + Written(SrcPath) + '|' + Written(FileName) + '|' +
    Written(Folder) + '|' + Written(Version) + '|' + Written(TargetOs) + '|' + Written(Shortcut) + '|' +
    Written(DisplayName) + '|' + IntToStr(IconIndex) + '|' + IntToStr(SelfReg) + '|' +
    IntToStr(Overwrite) + '|' + IntToStr(FileSize) + '|' + IntToStr(RealTime) + '|' +
    IntToStr(Reboot));

  // The last file's display name is Hangul: it reaches the setup through the code page.
  DisplayName := Buffer(130);
  Found := GetFileInfo(GetFileCount() - 1, SrcPath, FileName, Folder, Version, TargetOs,
    Shortcut, DisplayName, IconIndex, SelfReg, Overwrite, FileSize, RealTime, Reboot);
  AddResult('last=' + IntToStr(Found) + '|' + Written(DisplayName));

  Product := Buffer(1024);
  Found := GetElementField('PRODUCT', Product);
  AddResult('product=' + IntToStr(Found) + '|' + Written(Product));

  AddResult('save=' + IntToStr(SaveSetupFile(Dir + '\copy.xml')));

  Words := SetReservedWord('[ROOT]', 'Root of the test', 'C:\Apps\');
  RealPath := Buffer(1024);
  Expanded := SetupPathToRealPath('[ROOT]Harbor\[APPDIR]notes.exe', RealPath);
  AddResult('words=' + IntToStr(Words) + ' expanded=' + IntToStr(Expanded) + '|' + Written(RealPath));

  // A file the Linux library saved, loaded and saved again.
  Found := LoadSetupFile(Dir + '\linux.xml');
  AddResult('linux=' + IntToStr(Found) + ' ' + IntToStr(SaveSetupFile(Dir + '\linux-copy.xml')));
end;

procedure CurStepChanged(CurStep: TSetupStep);
var
  Dir: String;
begin
  if CurStep = ssInstall then begin
    // The setup's own folder, where a save finds indent.xsl in the current directory.
    Dir := ExpandConstant('{src}');
    SetCurrentDir(Dir);
    ReadDescription(Dir);
    SaveStringsToUTF8File(Dir + '\results.txt', Results, False);
  end;
end;
